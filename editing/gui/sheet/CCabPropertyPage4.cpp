#include "editing/gui/sheet/CCabPropertyPage4.h"

#include <QGridLayout>
#include <QPushButton>
#include <QTreeWidget>

#include "app/core/PackagePathChange.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FilesForm.h"
#include "editing/gui/forms/FormProblem.h"
#include "editing/gui/sheet/CChangeSourcePathDlg.h"
#include "editing/gui/sheet/CCabPropertyPage3.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "editing/gui/sheet/CReScanSourceFilesDlg.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"

namespace pcn::gui {

CCabPropertyPage4::CCabPropertyPage4(CCabPropertySheet& sheet) : CCabPropertyPage(sheet, tr("Files")) {
    setObjectName("CCabPropertyPage4");
    form_ = new FilesForm(package(), context(), this);
    // The total source size is the last scan's; a removed file leaves it as it is.
    form_->reportsInvalidRows = false;
    form_->removeAdjustsSourceSize = false;
    rescan_ = new QPushButton(tr("Re-&Scan Files"), this);
    rescan_->setObjectName("rescanFiles");
    rescan_->setAutoDefault(false);
    changePath_ = new QPushButton(tr("Change &Path"), this);
    changePath_->setObjectName("changePath");
    changePath_->setAutoDefault(false);
    auto* layout = new QGridLayout(this);
    layout->addWidget(form_, 0, 0, 1, 3);
    layout->addWidget(rescan_, 1, 1);
    layout->addWidget(changePath_, 1, 2);
    layout->setColumnStretch(0, 1);
}

void CCabPropertyPage4::OnInitDialog() {
    connect(form_->addButton, &QPushButton::clicked, this, [this] { form_->add(filledFrom_); });
    connect(form_, &FilesForm::edited, this, &CCabPropertyPage4::noteChange);
    connect(changePath_, &QPushButton::clicked, this, &CCabPropertyPage4::OnChangePath);
    connect(rescan_, &QPushButton::clicked, this, &CCabPropertyPage4::OnReScanFiles);
}

void CCabPropertyPage4::OnSetActive() {
    filledFrom_ = QString::fromStdString(package().m_strSourceFolder);
    form_->fill();
}

void CCabPropertyPage4::OnChangePath() {
    CChangeSourcePathDlg dialog(filledFrom_, context().pickers, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::string newFolder = dialog.path().toStdString();
    CCabObj& p = package();
    // Only paths that begin with the old folder lie in it; one that holds the
    // old folder's text further on is left alone.
    if (!filledFrom_.isEmpty())
        ReplaceLeadingFolderInAll(p.m_pFiles->m_arrPath, withTrailingSeparator(filledFrom_.toStdString()), newFolder);
    p.m_strSourceFolder = newFolder;
    if (auto* folders = sheet().findPage<CCabPropertyPage3>(); folders && folders->isCreated())
        folders->showMovedSourceFolder(dialog.path());
    filledFrom_ = dialog.path();
    form_->fill();
    SetModified();
}

void CCabPropertyPage4::OnReScanFiles() {
    CReScanSourceFilesDlg dialog(package(), context().ui, this);
    dialog.exec();
}

bool CCabPropertyPage4::store() {
    if (form_->fileList->topLevelItemCount() == 0) {
        ShowProblem(context(), FormProblem{tr("Files required."), form_->fileList});
        return false;
    }
    filledFrom_ = QString::fromStdString(package().m_strSourceFolder);
    return true;
}

bool CCabPropertyPage4::OnKillActive() { return store(); }

bool CCabPropertyPage4::OnApply() { return store(); }

}  // namespace pcn::gui
