#include "editing/gui/wizard/CCabWizPage4.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "distribution/UserInterface.h"
#include "editing/gui/forms/SourceFolderScan.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FilesForm.h"
#include "editing/gui/forms/FormProblem.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "model/CCabObj.h"

namespace pcn::gui {

CCabWizPage4::CCabWizPage4(CCabWizSheet& sheet) : CCabWizPage(sheet, tr("Package Files")) {
    setObjectName("CCabWizPage4");
    form_ = new FilesForm(sheet.package(), sheet.context(), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
    connect(form_->addButton, &QPushButton::clicked, this,
            [this] { form_->add(QString::fromStdString(scanned_ ? scanned_->folder : package().m_strSourceFolder)); });
}

void CCabWizPage4::OnSetActive() {
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext);
    const CCabObj& p = package();
    if (sheet().m_bRescan || scanned_ != Scanned{p.m_strSourceFolder, p.m_bSubDirs}) rescan();
    sheet().m_bRescan = 0;
}

void CCabWizPage4::rescan() {
    CCabObj& p = package();
    const ScanResult result = ScanSourceFolderOffTheUiThread(p, this);
    form_->fill();
    // Stopped: the list stays as it was, and the next visit scans again.
    if (result.stopped) return;
    scanned_ = Scanned{p.m_strSourceFolder, p.m_bSubDirs};
    if (result.unreadable > 0)
        ShowProblem(context(), UnreadableSourceFolder(QString::fromStdString(p.m_strSourceFolder)));
    else if (!result.loops.empty())
        ShowProblem(context(), FormProblem{tr("These folders lead back to a folder scanned already (a link loop) "
                                              "and were not scanned again:\n\n%1")
                                               .arg(QString::fromStdString(result.loops.front())),
                                           nullptr});
}

// A package without files would build into a cabinet no extractor opens.
bool CCabWizPage4::OnWizardNext() {
    if (package().GetFileCount() > 0) return true;
    ShowProblem(context(), FormProblem{tr("The package has no files."), form_->fileList, Icon::Error});
    return false;
}

int CCabWizPage4::nextPageId() const {
    const CCabObj& p = package();
    if (p.m_bCab)
        return p.m_bSignature ? CCabWizSheet::kSignaturePage
               : p.m_bCreateInf ? CCabWizSheet::kInfPage
                                : CCabWizSheet::kSummaryPage;
    if (p.m_bCabSelf) return p.m_bSignature ? CCabWizSheet::kSignaturePage : CCabWizSheet::kSummaryPage;
    return CCabWizSheet::kUserOptionsPage;
}

}  // namespace pcn::gui
