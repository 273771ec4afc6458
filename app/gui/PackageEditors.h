#pragma once
// The windows that define, build and ship a package are supplied by their
// own subsystems; the project views call them through these hooks. A command
// whose hook is not set is shown disabled.

#include <functional>

namespace pcn {
class CCabObj;
class CPCNDoc;
}  // namespace pcn

namespace pcn::gui {

enum class WizardResult {
    Cancelled,
    Finished,          // the wizard's own build did not run or did not succeed
    FinishedAndBuilt,  // the wizard built the package successfully
};

struct PackageEditors {
    // New package wizards, run on a fresh record.
    std::function<WizardResult(CCabObj& package)> cabinetWizard;
    std::function<WizardResult(CCabObj& package)> webWizard;
    // Property sheets on a working copy; true for OK. page: the page to open first (0-based).
    std::function<bool(CCabObj& copy, int page)> cabinetSheet;
    std::function<bool(CCabObj& copy)> webSheet;
    // The rebuild dialog; it writes the build results into the record.
    std::function<void(CCabObj& package)> rebuildDialog;
    // The built package's files read back from its cabinet, with Verify.
    std::function<void(const CCabObj& package)> contentsDialog;
    // Output of the selected package sent by FTP (with the document's sites) or mail.
    std::function<void(CCabObj& package, CPCNDoc& doc)> sendFtp;
    std::function<void(CCabObj& package, CPCNDoc& doc)> sendMail;
    // The export dialog, on the whole document.
    std::function<void(CPCNDoc& doc)> exportDialog;
    // Printed report of a package: print or preview.
    std::function<void(CCabObj& package, bool preview)> print;
    std::function<void()> printSetup;
};

// The property sheet page that holds the project name.
inline constexpr int kProjectNamePage = 2;

}  // namespace pcn::gui
