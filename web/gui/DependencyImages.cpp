#include "web/gui/DependencyImages.h"

#include <QPainter>
#include <QPolygonF>

#include <cmath>

#include "platform/gui/IconPainting.h"

namespace pcn::gui {
namespace {

const QColor kOutline(60, 60, 60);
const QColor kPaper(255, 255, 250);
const QSize kImage(kDependencyImageWidth, kDependencyImageHeight);

// A library: a small gear on a page.
void drawLibrary(QPainter& p, const QColor& gear) {
    SetIconPen(p, kOutline);
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF({QPointF(2.5, 0.5), QPointF(9, 0.5), QPointF(11.5, 3), QPointF(11.5, 13.5),
                             QPointF(2.5, 13.5)}));
    DrawGear(p, QPointF(7, 7.5), 3.4, 4.6, 1.4, gear);
}

void drawSystemLibrary(QPainter& p) {
    drawLibrary(p, QColor(150, 150, 170));
    // A window frame: the system's own.
    SetIconPen(p, QColor(40, 100, 200).darker(120));
    p.setBrush(QColor(120, 180, 240));
    p.drawRect(QRectF(9.5, 8.5, 6, 5.5));
    p.drawLine(QPointF(9.5, 10), QPointF(15.5, 10));
}

void drawNamedLibrary(QPainter& p) {
    drawLibrary(p, QColor(230, 180, 60));
    // A magnifying glass: found by reading the file.
    SetIconPen(p, QColor(110, 60, 160), 1.2);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(9, 8, 5, 5));
    p.drawLine(QPointF(13.2, 12.2), QPointF(15.5, 14.5));
}

void drawComponent(QPainter& p) {
    // A control: a blue tile with a knob and a star.
    SetIconPen(p, QColor(40, 100, 200).darker(130));
    p.setBrush(QColor(90, 150, 210));
    p.drawRoundedRect(QRectF(1.5, 2.5, 11, 11), 1.5, 1.5);
    p.drawEllipse(QRectF(11, 6, 4, 4));
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const qreal radius = i % 2 ? 1.6 : 3.6;
        star << QPointF(7 + radius * std::cos(angle), 8 + radius * std::sin(angle));
    }
    SetIconPen(p, QColor(170, 120, 20), 0.6);
    p.setBrush(QColor(250, 220, 80));
    p.drawPolygon(star);
}

void paintOrigin(QPainter& p, int origin) {
    switch (origin) {
        case 2: drawSystemLibrary(p); break;
        case 3: drawLibrary(p, QColor(90, 150, 210)); break;
        case 4: drawNamedLibrary(p); break;
        case 5:
            drawLibrary(p, QColor(190, 190, 190));
            DrawBadge(p, QRectF(8.5, 7.5, 7, 7), QColor(200, 40, 40), "?");
            break;
        case 6: drawComponent(p); break;
        default: break;
    }
}

}  // namespace

const QPixmap& dependencyImageStrip() {
    // Never destroyed: pixmaps must not outlive the application object.
    static const QPixmap* strip = new QPixmap(PaintedPixmap(
        QSize(kDependencyImageWidth * kDependencyImageCount, kDependencyImageHeight), 1, [](QPainter& p) {
            for (int i = 0; i < kDependencyImageCount; ++i) {
                p.save();
                p.translate(i * kDependencyImageWidth, 0);
                paintOrigin(p, i);
                p.restore();
            }
        }));
    return *strip;
}

QIcon dependencyIcon(int origin) {
    const int shown = origin >= 0 && origin < kDependencyImageCount ? origin : 0;
    QIcon icon;
    icon.addPixmap(dependencyImageStrip().copy(shown * kDependencyImageWidth, 0, kDependencyImageWidth,
                                               kDependencyImageHeight));
    // Screens that scale get the drawing at twice the size.
    icon.addPixmap(PaintedPixmap(kImage, 2, [shown](QPainter& p) { paintOrigin(p, shown); }));
    return icon;
}

}  // namespace pcn::gui
