#include "app/gui/ReportPrinting.h"

#include <QDir>
#include <QPainter>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "app/gui/PackageReportLayout.h"
#include "distribution/UserInterface.h"
#include "model/CCabObj.h"

namespace pcn::gui {
namespace {
constexpr const char* kNoPrinter = "Unable to connect to printer?.";
}

ReportPrinting::ReportPrinting(UserInterface& ui, QWidget* parent) : ui_(ui), parent_(parent) {}

ReportPrinting::~ReportPrinting() = default;

bool ReportPrinting::printerInstalled() { return !QPrinterInfo::availablePrinters().isEmpty(); }

QPrinter& ReportPrinting::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void ReportPrinting::preparePrinter(const CCabObj* package) {
    QPrinter& target = printer();
    if (printerInstalled()) return;
    if (!toldNoPrinter_) {
        ui_.message(kNoPrinterInstalled, "Information", Icon::Information, Buttons::Ok, Answer::Ok);
        toldNoPrinter_ = true;
    }
    target.setOutputFormat(QPrinter::PdfFormat);
    if (package && target.outputFileName().isEmpty()) {
        const QString name = package->m_strProduct.empty() ? QString("Package Report")
                                                            : QString::fromStdString(package->m_strProduct);
        target.setOutputFileName(QDir::home().filePath(name + ".pdf"));
    }
}

void ReportPrinting::printReport(const CCabObj& package, QPrinter& target) {
    const PackageReportLayout layout(package, target);
    if (layout.print(target)) return;
    const QString where = target.outputFileName().isEmpty() ? target.printerName() : target.outputFileName();
    ui_.errorDetails("Unable to print the package report.", ("Printing to " + where + " failed.").toStdString());
}

void ReportPrinting::print(const CCabObj& package, bool preview) {
    preparePrinter(&package);
    QPrinter& target = printer();
    if (preview) {
        QPrintPreviewDialog dialog(&target, parent_);
        dialog.setWindowTitle(QString::fromStdString(package.m_strProduct) + " - Print Preview");
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&](QPrinter* previewPrinter) { printReport(package, *previewPrinter); });
        dialog.exec();
        return;
    }
    // The last page offered is the report's page count on the printer's current page.
    const int pages = PackageReportLayout(package, target).pageCount();
    QPrintDialog dialog(&target, parent_);
    dialog.setMinMax(1, pages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    target.setFromTo(0, 0);
    if (dialog.exec() != QDialog::Accepted) return;
    printReport(package, target);
}

QString ReportPrinting::printReports(const std::vector<const CCabObj*>& packages, const QString& destination) {
    QPrinter target(QPrinter::HighResolution);
    if (destination.endsWith(".pdf", Qt::CaseInsensitive)) {
        target.setOutputFormat(QPrinter::PdfFormat);
        target.setOutputFileName(destination);
    } else {
        if (!destination.isEmpty()) target.setPrinterName(destination);
        if (!printerInstalled() || !target.isValid()) return kNoPrinter;
    }
    QPainter painter;
    if (!painter.begin(&target))
        return "Printing to " + (target.outputFileName().isEmpty() ? target.printerName() : target.outputFileName()) +
               " failed.";
    bool firstPage = true;
    for (const CCabObj* package : packages) {
        const PackageReportLayout layout(*package, target);
        for (int page = 1; page <= layout.pageCount(); ++page) {
            if (!firstPage) target.newPage();
            firstPage = false;
            layout.paintPage(painter, page);
        }
    }
    painter.end();
    return {};
}

void ReportPrinting::printSetup() {
    preparePrinter(nullptr);
    QPageSetupDialog dialog(&printer(), parent_);
    dialog.exec();
}

}  // namespace pcn::gui
