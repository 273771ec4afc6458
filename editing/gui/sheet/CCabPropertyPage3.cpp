#include "editing/gui/sheet/CCabPropertyPage3.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QVBoxLayout>

#include "editing/core/SourceScan.h"
#include "editing/gui/forms/SourceFolderScan.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FolderForm.h"
#include "editing/gui/sheet/CCabPropertyPage4.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "model/CCabObj.h"

namespace pcn::gui {

QString TargetFolderForProject(const QString& target, const QString& projectName) {
    QString folder = target;
    if (folder.endsWith(QDir::separator())) folder.chop(1);
    if (!folder.contains(QDir::separator())) return target;
    return RetargetFolder(folder, projectName);
}

CCabPropertyPage3::CCabPropertyPage3(CCabPropertySheet& sheet) : CCabPropertyPage(sheet, tr("Folders")) {
    setObjectName("CCabPropertyPage3");
    form_ = new FolderForm(context().pickers, this);
    discard_ = new QCheckBox(tr("Discard existing file list and re-scan the new source folder."), this);
    discard_->setObjectName("discardFiles");
    discard_->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
    layout->addWidget(discard_);
    layout->addStretch();
}

void CCabPropertyPage3::OnInitDialog() {
    CCabObj& p = package();
    p.m_strTargetFolder = TargetFolderForProject(QString::fromStdString(p.m_strTargetFolder),
                                                 QString::fromStdString(p.m_strProjectName))
                              .toStdString();
    {
        const Loading loading(*this);
        form_->load(p);
    }
    connect(form_->sourceFolder, &QLineEdit::textChanged, this, &CCabPropertyPage3::sourceFolderChanged);
    markModifiedOnChange({form_->projectName, form_->targetFolder, form_->includeSubDirs, discard_});
}

void CCabPropertyPage3::sourceFolderChanged() {
    if (isLoading()) return;
    noteChange();
    if (auto* files = sheet().findPage<CCabPropertyPage4>(); files && files->isCreated()) files->SetModified();
    discard_->setEnabled(true);
}

void CCabPropertyPage3::showMovedSourceFolder(const QString& folder) {
    const Loading loading(*this);
    form_->sourceFolder->setText(folder);
}

bool CCabPropertyPage3::store() {
    if (ShowProblem(context(), form_->check({tr("Source Directory is a required entry."),
                                             tr("Project Name is a required entry."),
                                             tr("Target Directory is a required entry.")})))
        return false;
    // A source folder that cannot be read would leave the package without
    // files: the list stays as it is until the folder is put right.
    if (discard_->isChecked() && !IsReadableFolder(form_->sourceFolder->text().toStdString())) {
        ShowProblem(context(), UnreadableSourceFolder(form_->sourceFolder->text(), form_->sourceFolder));
        return false;
    }
    CCabObj& p = package();
    p.m_bNewPackage = 0;
    form_->store(p);
    if (discard_->isChecked()) {
        const ScanResult result = ScanSourceFolderOffTheUiThread(p, this);
        // Stopped: the file list is as it was; the tab stays, ready to scan again.
        if (result.stopped) return false;
        if (result.unreadable > 0) ShowProblem(context(), UnreadableSourceFolder(form_->sourceFolder->text()));
        // Scanned once: edits made on the Files tab afterwards must survive
        // the next Apply.
        const Loading loading(*this);
        discard_->setChecked(false);
    }
    return true;
}

bool CCabPropertyPage3::OnKillActive() { return store(); }

bool CCabPropertyPage3::OnApply() {
    if (!store()) return false;
    discard_->setEnabled(false);
    return true;
}

}  // namespace pcn::gui
