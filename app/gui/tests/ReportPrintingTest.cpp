// The printed package report rendered to PDF files and read back with
// pdftotext, the way a user would read the printout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

#include "app/core/PackageReport.h"
#include "app/gui/PackageReportLayout.h"
#include "app/gui/ReportPrinting.h"
#include "distribution/ScriptedUserInterface.h"
#include "model/CCabObj.h"

namespace pcn {
namespace {

QString fileName(int n) { return QString("/srv/source/tool-%1.dat").arg(n, 2, 10, QChar('0')); }

void addFiles(CCabObj& package, int count) {
    package.m_strProduct = "Report Sixty";
    package.m_strCompany = "Tarnwick";
    package.m_strSourceFolder = "/srv/source/";
    for (int n = 1; n <= count; ++n) package.AddFile(fileName(n).toStdString());
}

// The pages of the PDF as pdftotext -layout lays them out.
QStringList pdfPages(const QString& pdf) {
    QProcess tool;
    tool.start("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(tool.waitForFinished(30000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    QStringList pages = QString::fromUtf8(tool.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

// A package with some files and a PDF printer with 10 mm margins. On A5 a
// 12 point line leaves room for L rows with ceil((60 + 32) / L) == 3.
class ReportPdf : public ::testing::Test {
protected:
    void prepare(int files, QPageSize::PageSizeId size) {
        addFiles(package, files);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageLayout(
            QPageLayout(QPageSize(size), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    CCabObj package;
    QPrinter printer{QPrinter::HighResolution};
};

}  // namespace

TEST_F(ReportPdf, SixtyFilesPrintOnThreePagesInOrder) {
    prepare(60, QPageSize::A5);

    gui::PackageReportLayout layout(package, printer);
    const int rowsPerPage = layout.rowsPerPage();
    ASSERT_EQ(layout.pageCount(), (60 + kReportFixedRows + rowsPerPage - 1) / rowsPerPage);
    ASSERT_EQ(layout.pageCount(), 3) << "rows per page " << rowsPerPage;
    ASSERT_TRUE(layout.print(printer));

    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 3);
    for (int page = 1; page <= 3; ++page) {
        EXPECT_TRUE(pages[page - 1].contains("Report Sixty")) << "header on page " << page;
        EXPECT_TRUE(pages[page - 1].contains(gui::PackageReportLayout::footerText(page, 3))) << page;
    }
    EXPECT_TRUE(pages[1].contains("Page No: 2 of 3"));
    EXPECT_TRUE(pages[0].contains(QRegularExpression("Company Name:\\s+Tarnwick")));
    EXPECT_TRUE(pages[0].contains(QRegularExpression("Package Type:\\s+Cabinet\\.")));

    // Every file row on the page its row number gives, after the one before it.
    const std::vector<ReportRow> rows = PackageReportRows(package);
    int previousPage = 0;
    qsizetype previousAt = -1;
    for (int n = 1; n <= 60; ++n) {
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const ReportRow& r) {
            return r.value == " \t" + std::to_string(n) + ":\t" + fileName(n).toStdString();
        });
        ASSERT_NE(row, rows.end());
        const int page = static_cast<int>(row - rows.begin()) / rowsPerPage + 1;
        const QRegularExpression line(QString("\\b%1:\\s+%2").arg(n).arg(QRegularExpression::escape(fileName(n))));
        const qsizetype at = pages[page - 1].indexOf(line);
        ASSERT_GE(at, 0) << "file " << n << " not on page " << page;
        if (page == previousPage) {
            EXPECT_GT(at, previousAt) << "file " << n << " out of order";
        }
        previousPage = page;
        previousAt = at;
    }
}

TEST_F(ReportPdf, PageRangePrintsOnlyThosePages) {
    prepare(60, QPageSize::A5);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 9);

    gui::PackageReportLayout layout(package, printer);
    ASSERT_TRUE(layout.print(printer));
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("Page No: 2 of 3"));
    EXPECT_TRUE(pages[1].contains("Page No: 3 of 3"));
}

TEST_F(ReportPdf, EmptyPackageOnAPageOfFiftyRowsIsOnePage) {
    prepare(0, QPageSize::A4);
    gui::PackageReportLayout layout(package, printer);
    ASSERT_GE(layout.rowsPerPage(), kReportFixedRows);
    EXPECT_EQ(layout.pageCount(), 1);
    ASSERT_TRUE(layout.print(printer));
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("Page No: 1 of 1"));
    EXPECT_TRUE(pages[0].contains("Source Files:"));
}

}  // namespace pcn

namespace pcn {

TEST(ReportPrinting, HelpPageShowsAPrintedPage) {
    const std::string help = std::string(PCN_PROGRAM_DIR) + "/Help/";
    QFile page(QString::fromStdString(help + "file_print.htm"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("src=\"print-report-page1.png\""));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(help + "print-report-page1.png")));
}

}  // namespace pcn

namespace pcn {

// Preview through the dialogs the program uses; without a printer the user
// is told once and the PDF printer takes its place.
TEST_F(ReportPdf, PreviewWorksWithoutAPrinterAndSaysSo) {
    addFiles(package, 5);
    ScriptedUserInterface ui;
    gui::ReportPrinting printing(ui, nullptr);
    int previews = 0;
    auto closePreview = [&] {
        QTimer::singleShot(0, [&] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(preview, nullptr);
            ++previews;
            preview->reject();
        });
    };
    closePreview();
    printing.print(package, true);
    closePreview();
    printing.print(package, true);
    EXPECT_EQ(previews, 2);
    if (gui::ReportPrinting::printerInstalled()) {
        EXPECT_TRUE(ui.shown().empty());
        return;
    }
    ASSERT_EQ(ui.shown().size(), 1u);  // told once, not at every print
    EXPECT_EQ(ui.shown()[0].text, gui::kNoPrinterInstalled);
    EXPECT_EQ(printing.printer().outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printing.printer().outputFileName(), QDir::home().filePath("Report Sixty.pdf"));
}

}  // namespace pcn
