#pragma once
// Print, Print Preview and Print Setup of the package report. One printer
// setting lives as long as the main window, so that what Print Setup chose
// is used by the next print. Without an installed printer the report is
// previewed and printed to a PDF file, and the user is told so.

#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QPrinter;
class QWidget;

namespace pcn {
class CCabObj;
class UserInterface;
}  // namespace pcn

namespace pcn::gui {

inline constexpr const char* kNoPrinterInstalled =
    "No printer is installed.\n\nThe report can still be previewed and printed to a PDF file.";

class ReportPrinting {
public:
    ReportPrinting(UserInterface& ui, QWidget* parent);
    ~ReportPrinting();

    // The print dialog (and then the report), or the preview window.
    void print(const CCabObj& package, bool preview);
    // The page setup of the printer used by the next print.
    void printSetup();

    // The command line's printing: the reports of all `packages`, one after the
    // other in one job, without dialogs, on `destination` (a printer name, a
    // file name ending in .pdf, or empty for the default printer). Returns
    // what went wrong, or nothing.
    static QString printReports(const std::vector<const CCabObj*>& packages, const QString& destination);

    QPrinter& printer();
    // True when the system has a printer to print on.
    static bool printerInstalled();

private:
    // Chooses the PDF output when there is no printer (telling the user once).
    void preparePrinter(const CCabObj* package);
    void printReport(const CCabObj& package, QPrinter& printer);

    UserInterface& ui_;
    QPointer<QWidget> parent_;
    std::unique_ptr<QPrinter> printer_;
    bool toldNoPrinter_ = false;
};

}  // namespace pcn::gui
