#include "editing/gui/wizard/WizardPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

namespace pcn::gui {

QPixmap WizardPicture() {
    constexpr int kWidth = 128, kHeight = 400;
    QPixmap picture(kWidth, kHeight);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, 0, kHeight);
    band.setColorAt(0, QColor(0x1f, 0x4e, 0x8c));
    band.setColorAt(1, QColor(0x6f, 0xa8, 0xdc));
    painter.fillRect(picture.rect(), band);

    // A closed carton seen from above and to the side.
    const QPointF top[] = {{24, 150}, {64, 130}, {104, 150}, {64, 170}};
    const QPointF left[] = {{24, 150}, {64, 170}, {64, 220}, {24, 200}};
    const QPointF right[] = {{64, 170}, {104, 150}, {104, 200}, {64, 220}};
    painter.setPen(QPen(QColor(0x5a, 0x3d, 0x1e), 1.5));
    painter.setBrush(QColor(0xe8, 0xc3, 0x8a));
    painter.drawPolygon(top, 4);
    painter.setBrush(QColor(0xc8, 0x9a, 0x5c));
    painter.drawPolygon(left, 4);
    painter.setBrush(QColor(0xb0, 0x84, 0x4a));
    painter.drawPolygon(right, 4);
    // The tape across the lid.
    painter.setPen(QPen(QColor(0xf5, 0xe6, 0xc8), 4));
    painter.drawLine(QPointF(44, 140), QPointF(84, 160));
    return picture;
}

}  // namespace pcn::gui
