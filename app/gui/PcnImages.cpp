#include "app/gui/PcnImages.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <array>
#include <cmath>
#include <map>
#include <string>
#include <functional>

#include "platform/gui/IconPainting.h"

namespace pcn::gui {
namespace {

// Images are drawn on a 16-unit grid at twice the resolution.
constexpr int kScale = 2;

const QColor kOutline(60, 60, 60);
const QColor kBox(196, 150, 90);
const QColor kBoxDark(150, 105, 55);
const QColor kFolder(240, 200, 80);
const QColor kPaper(255, 255, 250);
const QColor kBlue(40, 100, 200);
const QColor kGreen(40, 150, 60);
const QColor kRed(200, 40, 40);

void pen(QPainter& p, const QColor& c, qreal width = 1.0) { SetIconPen(p, c, width); }

void drawCabinet(QPainter& p, const QColor& body) {
    pen(p, kOutline);
    p.setBrush(body);
    p.drawRect(QRectF(3.5, 1.5, 9, 13));
    p.drawLine(QPointF(3.5, 6), QPointF(12.5, 6));
    p.drawLine(QPointF(3.5, 10.5), QPointF(12.5, 10.5));
    p.setBrush(kOutline);
    p.drawRect(QRectF(7, 3.5, 2, 1));
    p.drawRect(QRectF(7, 8, 2, 1));
    p.drawRect(QRectF(7, 12.5, 2, 1));
}

void drawBox(QPainter& p) {
    pen(p, kOutline);
    p.setBrush(kBox);
    QPainterPath front;
    front.addRect(QRectF(2.5, 6.5, 9, 8));
    p.drawPath(front);
    p.setBrush(kBoxDark);
    p.drawPolygon(QPolygonF({QPointF(11.5, 6.5), QPointF(14.5, 3.5), QPointF(14.5, 11.5), QPointF(11.5, 14.5)}));
    p.setBrush(kBox.lighter(115));
    p.drawPolygon(QPolygonF({QPointF(2.5, 6.5), QPointF(5.5, 3.5), QPointF(14.5, 3.5), QPointF(11.5, 6.5)}));
    pen(p, kBoxDark.darker(130));
    p.drawLine(QPointF(7, 6.5), QPointF(7, 14.5));
}

void drawFolder(QPainter& p) {
    pen(p, kOutline);
    p.setBrush(kFolder.darker(115));
    p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(6, 3.5), QPointF(7.5, 5), QPointF(14.5, 5), QPointF(14.5, 13.5),
                             QPointF(1.5, 13.5)}));
    p.setBrush(kFolder);
    p.drawPolygon(QPolygonF({QPointF(1.5, 13.5), QPointF(3, 7), QPointF(15.5, 7), QPointF(14.5, 13.5)}));
}

void drawSheet(QPainter& p, const QColor& paper) {
    pen(p, kOutline);
    p.setBrush(paper);
    p.drawPolygon(QPolygonF({QPointF(3.5, 1.5), QPointF(10, 1.5), QPointF(12.5, 4), QPointF(12.5, 14.5), QPointF(3.5, 14.5)}));
}

void drawLines(QPainter& p) {
    pen(p, QColor(120, 120, 140));
    for (int y = 5; y <= 12; y += 2) p.drawLine(QPointF(5.5, y + 0.5), QPointF(10.5, y + 0.5));
}

void drawCircleLetter(QPainter& p, const QColor& fill, const QString& letter) {
    pen(p, fill.darker(140));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QFont f = QApplication::font();
    f.setBold(true);
    f.setPixelSize(10);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, letter);
}

void drawLetter(QPainter& p, const QColor& color, const QString& text, int pixelSize = 10) {
    QFont f = QApplication::font();
    f.setBold(true);
    f.setPixelSize(pixelSize);
    p.setFont(f);
    p.setPen(color);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, text);
}

void drawStar(QPainter& p, QPointF c, qreal r, const QColor& color) {
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const qreal radius = i % 2 ? r * 0.45 : r;
        star << QPointF(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
    }
    pen(p, color.darker(150), 0.6);
    p.setBrush(color);
    p.drawPolygon(star);
}

void drawGlobe(QPainter& p) {
    pen(p, kBlue.darker(130));
    p.setBrush(QColor(120, 180, 240));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
    p.drawLine(QPointF(3, 4.5), QPointF(13, 4.5));
    p.drawLine(QPointF(3, 11.5), QPointF(13, 11.5));
}

void drawGear(QPainter& p, const QColor& color) { DrawGear(p, QPointF(8, 8), 5.2, 6.8, 2, color); }

void drawSeal(QPainter& p) {
    pen(p, kRed.darker(140));
    p.setBrush(kRed);
    p.drawPolygon(QPolygonF({QPointF(5, 9), QPointF(3.5, 15), QPointF(6, 13.5), QPointF(7.5, 15), QPointF(8, 10)}));
    p.drawPolygon(QPolygonF({QPointF(11, 9), QPointF(12.5, 15), QPointF(10, 13.5), QPointF(8.5, 15), QPointF(8, 10)}));
    p.setBrush(QColor(230, 180, 40));
    pen(p, QColor(170, 120, 20));
    p.drawEllipse(QRectF(3, 1.5, 10, 10));
    drawStar(p, QPointF(8, 6.5), 3.2, QColor(250, 235, 150));
}

void drawCheck(QPainter& p, const QColor& color) {
    pen(p, color, 2.2);
    p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
}

void drawBadge(QPainter& p, const QColor& color, const QString& mark) {
    DrawBadge(p, QRectF(8.5, 8.5, 7, 7), color, mark);
}

using Painter = std::function<void(QPainter&)>;

const std::array<Painter, kImageCount>& painters() {
    static const std::array<Painter, kImageCount> all = {
        /* 0 cabinet */ [](QPainter& p) { drawCabinet(p, kBox); },
        /* 1 package */ [](QPainter& p) { drawBox(p); },
        /* 2 folder */ [](QPainter& p) { drawFolder(p); },
        /* 3 files */ [](QPainter& p) { drawSheet(p, kPaper); drawLines(p); },
        /* 4 files, selected */ [](QPainter& p) { drawSheet(p, QColor(255, 245, 170)); drawLines(p); },
        /* 5 general information */ [](QPainter& p) { drawCircleLetter(p, kBlue, "i"); },
        /* 6 prompt */
        [](QPainter& p) {
            pen(p, kOutline);
            p.setBrush(QColor(255, 255, 200));
            p.drawRoundedRect(QRectF(1.5, 2.5, 13, 8.5), 2, 2);
            p.drawPolygon(QPolygonF({QPointF(4, 11), QPointF(4, 14.5), QPointF(7.5, 11)}));
            drawLetter(p, kOutline, "...", 8);
        },
        /* 7 action */ [](QPainter& p) { drawGear(p, QColor(150, 150, 170)); },
        /* 8 signature */ [](QPainter& p) { drawSeal(p); },
        /* 9 information */ [](QPainter& p) { drawSheet(p, kPaper); drawLetter(p, kBlue, "i", 9); },
        /* 10 wizard file */
        [](QPainter& p) {
            drawSheet(p, kPaper);
            drawStar(p, QPointF(8, 8.5), 4.5, QColor(240, 190, 30));
        },
        /* 11 version */ [](QPainter& p) { drawSheet(p, kPaper); drawLetter(p, kGreen.darker(120), "1.0", 6); },
        /* 12 comment */
        [](QPainter& p) {
            pen(p, kOutline);
            p.setBrush(QColor(255, 240, 140));
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            drawLines(p);
        },
        /* 13 copyright */ [](QPainter& p) { drawCircleLetter(p, QColor(120, 120, 120), "c"); },
        /* 14 GUID */ [](QPainter& p) { drawLetter(p, QColor(110, 60, 160), "{ }", 10); },
        /* 15 compression */
        [](QPainter& p) {
            drawBox(p);
            pen(p, kRed, 1.4);
            p.drawLine(QPointF(1, 1.5), QPointF(5, 5));
            p.drawLine(QPointF(15, 15), QPointF(12, 12));
        },
        /* 16 company */
        [](QPainter& p) {
            pen(p, kOutline);
            p.setBrush(QColor(170, 180, 200));
            p.drawRect(QRectF(3.5, 2.5, 9, 12));
            p.setBrush(QColor(250, 240, 160));
            for (int y = 4; y <= 10; y += 3)
                for (int x = 5; x <= 9; x += 4) p.drawRect(QRectF(x + 0.5, y + 0.5, 2, 1.5));
        },
        /* 17 product */ [](QPainter& p) { drawBox(p); drawStar(p, QPointF(6.5, 10.5), 2.5, Qt::white); },
        /* 18 needs rebuild */
        [](QPainter& p) {
            drawCabinet(p, kBox.lighter(110));
            drawBadge(p, kRed, "!");
        },
        /* 19 wizard package */
        [](QPainter& p) {
            drawCabinet(p, QColor(150, 180, 220));
            drawStar(p, QPointF(12, 4), 3.5, QColor(240, 190, 30));
        },
        /* 20 component */ [](QPainter& p) { drawGear(p, QColor(90, 150, 210)); },
        /* 21 web package */ [](QPainter& p) { drawGlobe(p); },
        /* 22 document */ [](QPainter& p) { drawSheet(p, kPaper); },
        /* 23 file found */ [](QPainter& p) { drawSheet(p, kPaper); drawCheck(p, kGreen); },
    };
    return all;
}

// One image at a multiple of its 16-pixel grid.
QPixmap drawImage(const std::function<void(QPainter&)>& paint, int scale) {
    return PaintedPixmap(QSize(kImageSize, kImageSize), scale, paint);
}

// The image at 16 pixels and at 32 for screens that scale.
QIcon iconOf(const std::function<void(QPainter&)>& paint) {
    QIcon icon;
    icon.addPixmap(drawImage(paint, 1));
    icon.addPixmap(drawImage(paint, kScale));
    return icon;
}

}  // namespace

const QPixmap& imageStrip() {
    // Kept for the life of the process: pixmaps must not outlive the application object's
    // teardown order, so the strip is never destroyed.
    static const QPixmap* strip = new QPixmap([] {
        QPixmap all(kImageSize * kImageCount, kImageSize);
        all.fill(Qt::transparent);
        QPainter p(&all);
        for (int i = 0; i < kImageCount; ++i)
            p.drawPixmap(i * kImageSize, 0, drawImage(painters()[static_cast<size_t>(i)], 1));
        p.end();
        return all;
    }());
    return *strip;
}

QIcon pcnImage(int index) {
    if (index < 0 || index >= kImageCount) return {};
    return iconOf(painters()[static_cast<size_t>(index)]);
}

namespace {

void drawPrinter(QPainter& p, bool preview) {
    pen(p, kOutline);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(180, 180, 190));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    if (preview) {
        pen(p, kBlue.darker(120), 1.4);
        p.setBrush(QColor(200, 230, 255, 200));
        p.drawEllipse(QRectF(8, 7.5, 5.5, 5.5));
        p.drawLine(QPointF(12.8, 12.3), QPointF(15, 14.5));
    }
}

void drawEnvelope(QPainter& p) {
    pen(p, kOutline);
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    p.drawPolyline(QPolygonF({QPointF(1.5, 3.5), QPointF(8, 9), QPointF(14.5, 3.5)}));
}

void drawUpload(QPainter& p) {
    drawGlobe(p);
    pen(p, kGreen.darker(130));
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF({QPointF(11.5, 6), QPointF(15.5, 10.5), QPointF(13, 10.5), QPointF(13, 15),
                             QPointF(10, 15), QPointF(10, 10.5), QPointF(7.5, 10.5)}));
}

void drawScissors(QPainter& p) {
    pen(p, kOutline, 1.2);
    p.drawLine(QPointF(4, 1.5), QPointF(10, 10));
    p.drawLine(QPointF(12, 1.5), QPointF(6, 10));
    p.setBrush(Qt::NoBrush);
    pen(p, kRed, 1.4);
    p.drawEllipse(QRectF(2, 9.5, 4.5, 4.5));
    p.drawEllipse(QRectF(9.5, 9.5, 4.5, 4.5));
}

void drawCopy(QPainter& p) {
    pen(p, kOutline);
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 1.5, 8, 10));
    p.drawRect(QRectF(6.5, 4.5, 8, 10));
    pen(p, QColor(120, 120, 140));
    for (int y = 7; y <= 12; y += 2) p.drawLine(QPointF(8.5, y + 0.5), QPointF(12.5, y + 0.5));
}

void drawPaste(QPainter& p) {
    pen(p, kOutline);
    p.setBrush(kBox);
    p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4, 1, 5, 3));
    p.setBrush(kPaper);
    p.drawRect(QRectF(7.5, 6.5, 7, 8.5));
}

void drawSave(QPainter& p, const QColor& body) {
    pen(p, kOutline);
    p.setBrush(body);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
}

void drawNewDocument(QPainter& p) {
    drawSheet(p, kPaper);
    drawStar(p, QPointF(12, 4), 3.5, QColor(240, 190, 30));
}

void drawRebuild(QPainter& p) {
    pen(p, kGreen.darker(120), 1.8);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 30 * 16, 280 * 16);
    p.setBrush(kGreen.darker(120));
    pen(p, kGreen.darker(120), 0.8);
    p.drawPolygon(QPolygonF({QPointF(14.5, 1.5), QPointF(14.5, 7), QPointF(9.5, 5.5)}));
}

void drawProperties(QPainter& p) {
    drawSheet(p, kPaper);
    pen(p, kOutline);
    p.setBrush(kBlue);
    for (int y = 5; y <= 11; y += 3) {
        p.drawRect(QRectF(5, y, 1.5, 1.5));
        p.drawLine(QPointF(7.5, y + 0.75), QPointF(11, y + 0.75));
    }
}

void drawTrust(QPainter& p) {
    pen(p, kBlue.darker(140));
    p.setBrush(QColor(100, 160, 230));
    p.drawPolygon(QPolygonF({QPointF(8, 1), QPointF(14, 3.5), QPointF(13, 10), QPointF(8, 15), QPointF(3, 10),
                             QPointF(2, 3.5)}));
    drawCheck(p, Qt::white);
}

void drawHelpArrow(QPainter& p) {
    pen(p, kOutline);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(1.5, 1.5), QPointF(1.5, 12), QPointF(4, 9.5), QPointF(6, 14), QPointF(7.5, 13.2),
                             QPointF(5.6, 9), QPointF(9, 9)}));
    drawLetter(p, kBlue, "      ?", 10);
}

}  // namespace

QIcon commandIcon(const char* name) {
    static const std::map<std::string, std::function<void(QPainter&)>> drawn = {
        {"newProject", drawNewDocument},
        {"newPackage", [](QPainter& p) { drawCabinet(p, kBox); drawStar(p, QPointF(12.5, 3.5), 3.2, QColor(240, 190, 30)); }},
        {"newWebPackage", [](QPainter& p) { drawGlobe(p); drawStar(p, QPointF(12.5, 3.5), 3.2, QColor(240, 190, 30)); }},
        {"sendFtp", drawUpload},
        {"sendMail", drawEnvelope},
        {"rebuild", drawRebuild},
        {"properties", drawProperties},
        {"signFile", drawSeal},
        {"checkTrust", drawTrust},
        {"savePackage", [](QPainter& p) { drawSave(p, kBox); }},
        {"saveProject", [](QPainter& p) { drawSave(p, kBlue); }},
        {"cut", drawScissors},
        {"copy", drawCopy},
        {"paste", drawPaste},
        {"print", [](QPainter& p) { drawPrinter(p, false); }},
        {"printPreview", [](QPainter& p) { drawPrinter(p, true); }},
        {"about", [](QPainter& p) { drawCircleLetter(p, kBlue, "?"); }},
        {"contextHelp", drawHelpArrow},
        {"expandAll", [](QPainter& p) { drawLetter(p, kOutline, "+", 14); }},
        {"collapse", [](QPainter& p) { drawLetter(p, kOutline, "-", 14); }},
    };
    auto it = drawn.find(name);
    if (it == drawn.end()) return {};
    return iconOf(it->second);
}

}  // namespace pcn::gui
