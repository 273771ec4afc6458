#include "web/gui/DependencyImages.h"

#include <QApplication>
#include <QPainter>

#include <cmath>

namespace pcn::gui {
namespace {

const QColor kOutline(60, 60, 60);
const QColor kPaper(255, 255, 250);

void outline(QPainter& p, const QColor& color, qreal width = 1.0) {
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// A library: a small gear on a page.
void drawLibrary(QPainter& p, const QColor& gear) {
    outline(p, kOutline);
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF({QPointF(2.5, 0.5), QPointF(9, 0.5), QPointF(11.5, 3), QPointF(11.5, 13.5),
                             QPointF(2.5, 13.5)}));
    QPolygonF teeth;
    for (int i = 0; i < 16; ++i) {
        const qreal angle = i * M_PI / 8;
        const qreal radius = (i % 2) ? 3.4 : 4.6;
        teeth << QPointF(7 + radius * std::cos(angle), 7.5 + radius * std::sin(angle));
    }
    outline(p, gear.darker(150));
    p.setBrush(gear);
    p.drawPolygon(teeth);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(7, 7.5), 1.4, 1.4);
}

void drawBadge(QPainter& p, const QColor& color, const QString& mark) {
    outline(p, color.darker(140));
    p.setBrush(color);
    p.drawEllipse(QRectF(8.5, 7.5, 7, 7));
    QFont f = QApplication::font();
    f.setBold(true);
    f.setPixelSize(6);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(8.5, 7.5, 7, 7), Qt::AlignCenter, mark);
}

void drawSystemLibrary(QPainter& p) {
    drawLibrary(p, QColor(150, 150, 170));
    // A window frame: the system's own.
    outline(p, QColor(40, 100, 200).darker(120));
    p.setBrush(QColor(120, 180, 240));
    p.drawRect(QRectF(9.5, 8.5, 6, 5.5));
    p.drawLine(QPointF(9.5, 10), QPointF(15.5, 10));
}

void drawNamedLibrary(QPainter& p) {
    drawLibrary(p, QColor(230, 180, 60));
    outline(p, QColor(110, 60, 160), 1.2);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(9, 8, 5, 5));
    p.drawLine(QPointF(13.2, 12.2), QPointF(15.5, 14.5));
}

void drawComponent(QPainter& p) {
    // A control: a blue tile with a puzzle knob and a star.
    outline(p, QColor(40, 100, 200).darker(130));
    p.setBrush(QColor(90, 150, 210));
    p.drawRoundedRect(QRectF(1.5, 2.5, 11, 11), 1.5, 1.5);
    p.drawEllipse(QRectF(11, 6, 4, 4));
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const qreal radius = i % 2 ? 1.6 : 3.6;
        star << QPointF(7 + radius * std::cos(angle), 8 + radius * std::sin(angle));
    }
    outline(p, QColor(170, 120, 20), 0.6);
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
            drawBadge(p, QColor(200, 40, 40), "?");
            break;
        case 6: drawComponent(p); break;
        default: break;
    }
}

QPixmap drawOrigin(int origin, int scale) {
    QPixmap pixmap(kDependencyImageWidth * scale, kDependencyImageHeight * scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    paintOrigin(p, origin);
    return pixmap;
}

}  // namespace

const QPixmap& dependencyImageStrip() {
    // Never destroyed: pixmaps must not outlive the application object.
    static const QPixmap* strip = new QPixmap([] {
        QPixmap all(kDependencyImageWidth * kDependencyImageCount, kDependencyImageHeight);
        all.fill(Qt::transparent);
        QPainter p(&all);
        for (int i = 0; i < kDependencyImageCount; ++i) p.drawPixmap(i * kDependencyImageWidth, 0, drawOrigin(i, 1));
        return all;
    }());
    return *strip;
}

QIcon dependencyIcon(int origin) {
    QIcon icon;
    const int shown = origin >= 0 && origin < kDependencyImageCount ? origin : 0;
    icon.addPixmap(drawOrigin(shown, 1));
    icon.addPixmap(drawOrigin(shown, 2));
    return icon;
}

}  // namespace pcn::gui
