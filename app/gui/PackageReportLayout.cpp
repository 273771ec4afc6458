#include "app/gui/PackageReportLayout.h"

#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <ctime>

#include "model/CCabObj.h"

namespace pcn::gui {
namespace {

constexpr const char* kReportFamily = "Times New Roman";
constexpr int kReportPointSize = 12;
constexpr int kDatePointSize = 11;
// Rows of the page kept free for the header and the footer.
constexpr int kRowsForHeaderAndFooter = 6;
// Tab stops, in average character widths of the normal font.
constexpr int kTabStops[] = {16, 40, 56, 76};
// Past the last stop a tab moves on by this many average character widths.
constexpr int kTabAfterLastStop = 8;

QFont reportFont(int pointSize, int weight) {
    QFont font(kReportFamily);
    font.setPointSize(pointSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setStyleHint(QFont::Serif);
    return font;
}

// The date and time in the locale's full form, as "%c" writes it.
QString localeDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[128] = {};
    std::strftime(text, sizeof text, "%c", &local);
    return QString::fromLocal8Bit(text);
}

}  // namespace

PackageReportLayout::PackageReportLayout(const CCabObj& package, QPrinter& printer)
    : product_(QString::fromStdString(package.m_strProduct)),
      rows_(PackageReportRows(package)),
      normal_(reportFont(kReportPointSize, 400)),
      bold_(reportFont(kReportPointSize, 800)),
      date_(reportFont(kDatePointSize, 600)) {
    const int resolution = printer.resolution();
    const QRect paper = printer.pageLayout().fullRectPixels(resolution);
    const QRect paint = printer.pageLayout().paintRectPixels(resolution);
    width_ = paint.width();
    height_ = paint.height();

    const QFontMetrics metrics(normal_, &printer);
    lineHeight_ = std::max(1, metrics.lineSpacing());
    averageCharWidth_ = std::max(1, metrics.averageCharWidth());
    const int printingOffset = paint.top() - paper.top();
    rowsPerPage_ = std::max(1, (paper.height() - 2 * printingOffset) / lineHeight_ - kRowsForHeaderAndFooter);
    pageCount_ = ReportPageCount(package, rowsPerPage_);
}

QString PackageReportLayout::footerText(int page, int pages) {
    return QString("Page No: %1 of %2").arg(page).arg(pages);
}

bool PackageReportLayout::print(QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const bool range = printer.printRange() == QPrinter::PageRange;
    int first = range && printer.fromPage() > 0 ? printer.fromPage() : 1;
    int last = range && printer.toPage() > 0 ? printer.toPage() : pageCount_;
    first = std::clamp(first, 1, pageCount_);
    last = std::clamp(last, first, pageCount_);
    for (int page = first; page <= last; ++page) {
        if (page > first) printer.newPage();
        paintPage(painter, page);
    }
    return painter.end();
}

void PackageReportLayout::paintPage(QPainter& painter, int page) const {
    painter.save();
    painter.setPen(Qt::black);
    int top = paintHeader(painter);

    const size_t firstRow = static_cast<size_t>(page - 1) * rowsPerPage_;
    const size_t endRow = std::min(rows_.size(), firstRow + rowsPerPage_);
    for (size_t i = firstRow; i < endRow; ++i) {
        top += lineHeight_;
        paintRow(painter, top, rows_[i]);
    }

    painter.setFont(normal_);
    painter.drawText(QRect(0, height_ - lineHeight_, width_, lineHeight_), Qt::AlignHCenter | Qt::AlignTop,
                     footerText(page, pageCount_));
    painter.restore();
}

int PackageReportLayout::paintHeader(QPainter& painter) const {
    const QFontMetrics boldMetrics(bold_, painter.device());
    const QFontMetrics dateMetrics(date_, painter.device());
    const int line = std::max(boldMetrics.lineSpacing(), dateMetrics.lineSpacing());

    painter.setFont(bold_);
    painter.drawText(QRect(0, 0, width_, line), Qt::AlignHCenter | Qt::AlignTop, product_);
    painter.setFont(date_);
    painter.drawText(QRect(0, 0, width_, line), Qt::AlignRight | Qt::AlignTop, localeDateTime());

    int top = 2 * dateMetrics.lineSpacing();
    painter.drawLine(0, top, width_, top);
    return top + dateMetrics.lineSpacing();
}

void PackageReportLayout::paintRow(QPainter& painter, int top, const ReportRow& row) const {
    int x = 0;
    if (!row.label.empty()) x = drawExpanded(painter, x, top, QString::fromStdString(row.label), bold_);
    if (!row.value.empty()) drawExpanded(painter, x, top, QString::fromStdString(row.value), normal_);
}

int PackageReportLayout::drawExpanded(QPainter& painter, int x, int top, const QString& text,
                                      const QFont& font) const {
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    const QStringList pieces = text.split('\t');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0) x = nextTabStop(x);
        const QString& piece = pieces[i];
        if (piece.isEmpty()) continue;
        painter.drawText(QPoint(x, top + metrics.ascent()), piece);
        x += metrics.horizontalAdvance(piece);
    }
    return x;
}

int PackageReportLayout::nextTabStop(int x) const {
    for (int stop : kTabStops)
        if (stop * averageCharWidth_ > x) return stop * averageCharWidth_;
    const int step = kTabAfterLastStop * averageCharWidth_;
    return (x / step + 1) * step;
}

}  // namespace pcn::gui
