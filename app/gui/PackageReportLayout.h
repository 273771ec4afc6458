#pragma once
// The page layout of the printed package report: fonts, rows per page,
// header, body rows with tab stops, and the page-number footer. It draws on
// any paint device of a QPrinter, so it prints, previews and writes PDF
// files alike; the print dialogs are elsewhere (ReportPrinting.h).

#include <QFont>
#include <QString>

#include <vector>

#include "app/core/PackageReport.h"

class QPainter;
class QPrinter;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class PackageReportLayout {
public:
    // Measures the fonts and the page of the printer.
    PackageReportLayout(const CCabObj& package, QPrinter& printer);

    // L: the rows that fit on one page.
    int rowsPerPage() const { return rowsPerPage_; }
    // ceil((files or dependencies + 32) / L).
    int pageCount() const { return pageCount_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }

    // Draws page `page` (from 1) with the painter open on the printer.
    void paintPage(QPainter& painter, int page) const;

    // Prints the printer's page range (all pages when it has none), each on a
    // page of its own. False when the printer cannot be opened.
    bool print(QPrinter& printer) const;

    // "Page No: %d of %d".
    static QString footerText(int page, int pages);

private:
    int paintHeader(QPainter& painter) const;
    void paintRow(QPainter& painter, int top, const ReportRow& row) const;
    // Draws text from x with the tabs expanded to the report's tab stops; returns the end.
    int drawExpanded(QPainter& painter, int x, int top, const QString& text, const QFont& font) const;
    int nextTabStop(int x) const;

    QString product_;
    std::vector<ReportRow> rows_;
    QFont normal_;
    QFont bold_;
    QFont date_;
    int width_ = 0;   // drawing area, in device pixels
    int height_ = 0;
    int lineHeight_ = 1;
    int averageCharWidth_ = 1;
    int rowsPerPage_ = 1;
    int pageCount_ = 1;
};

}  // namespace pcn::gui
