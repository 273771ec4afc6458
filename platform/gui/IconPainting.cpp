#include "platform/gui/IconPainting.h"

#include <QApplication>
#include <QPainter>
#include <QPolygonF>

#include <cmath>

namespace pcn::gui {

void SetIconPen(QPainter& p, const QColor& color, qreal width) {
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void DrawGear(QPainter& p, QPointF centre, qreal innerRadius, qreal outerRadius, qreal holeRadius,
              const QColor& color) {
    SetIconPen(p, color.darker(150));
    p.setBrush(color);
    QPolygonF gear;
    for (int i = 0; i < 16; ++i) {
        const qreal angle = i * M_PI / 8;
        const qreal radius = (i % 2) ? innerRadius : outerRadius;
        gear << QPointF(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
    }
    p.drawPolygon(gear);
    p.setBrush(Qt::white);
    p.drawEllipse(centre, holeRadius, holeRadius);
}

void DrawBadge(QPainter& p, const QRectF& where, const QColor& color, const QString& mark) {
    SetIconPen(p, color.darker(140));
    p.setBrush(color);
    p.drawEllipse(where);
    QFont f = QApplication::font();
    f.setBold(true);
    f.setPixelSize(6);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(where, Qt::AlignCenter, mark);
}

QPixmap PaintedPixmap(QSize size, int scale, const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(size * scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    paint(p);
    p.end();
    return pixmap;
}

}  // namespace pcn::gui
