#pragma once
// The send sheet: a four-page wizard that picks a stored FTP site or defines
// a new one, chooses the package's files and then watches the upload that
// PcnFtp.so performs. It runs while the library is loaded and uses the
// project document's site list.

#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn {
class CFTPObj;
class CPCNDoc;
class FtpLibrary;
}  // namespace pcn

namespace pcn::gui {

class CFTPPropertySheet : public CCabWizSheet {
    Q_OBJECT
public:
    enum FtpPageId { kSelectSitePage, kNewSitePage, kFilesPage, kSendingPage };

    CFTPPropertySheet(CCabObj& package, CPCNDoc& doc, FtpLibrary& library, EditingContext& context,
                      QWidget* parent = nullptr);

    CPCNDoc& document() const { return doc_; }
    FtpLibrary& library() const { return library_; }
    // The site the files go to: chosen on the first page or made on the second.
    CFTPObj* chosenSite() const { return chosenSite_; }
    void setChosenSite(CFTPObj* site) { chosenSite_ = site; }

    // Writes the site list and the sites' options beside it; reports a failure.
    bool saveSites();

private:
    CPCNDoc& doc_;
    FtpLibrary& library_;
    CFTPObj* chosenSite_ = nullptr;
};

// "&Send Project Files (FTP)...": loads PcnFtp.so (reporting when it cannot),
// runs the sheet, unloads the library.
void RunFtpSendSheet(CCabObj& package, CPCNDoc& doc, EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
