#pragma once
// The pieces the program's small images are painted from: they are drawn
// with QPainter on a 16-unit grid, so that they scale and need no binary
// resources. Shared by the package images and the dependency icons.

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;

namespace pcn::gui {

// The outline pen of the images: round caps and joins.
void SetIconPen(QPainter& p, const QColor& color, qreal width = 1.0);

// A gear of sixteen teeth around a white hole.
void DrawGear(QPainter& p, QPointF centre, qreal innerRadius, qreal outerRadius, qreal holeRadius,
              const QColor& color);

// A round badge with a white mark (a "!" or "?") in it.
void DrawBadge(QPainter& p, const QRectF& where, const QColor& color, const QString& mark);

// The painting of a size-unit image at `scale` pixels per unit, transparent
// where nothing is painted.
QPixmap PaintedPixmap(QSize size, int scale, const std::function<void(QPainter&)>& paint);

}  // namespace pcn::gui
