#include "editing/gui/wizard/CCabWizPage3.h"

#include <QLineEdit>

#include <filesystem>
#include <QVBoxLayout>

#include "editing/core/NewPackage.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FolderForm.h"
#include "editing/gui/forms/RememberedValues.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"

namespace pcn::gui {

namespace {

constexpr const char* kIncludeSubFolders = "IncludeSubFolders";
constexpr const char* kSourceFolder = "SourceFolder";

}  // namespace

CCabWizPage3::CCabWizPage3(CCabWizSheet& sheet) : CCabWizPage(sheet, tr("Package Folder")) {
    setObjectName("CCabWizPage3");
    form_ = new FolderForm(sheet.context().pickers, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
    layout->addStretch();
    // A folder chosen with Browse is scanned afresh even when its name did not change.
    connect(form_, &FolderForm::sourceFolderBrowsed, this, [this] { this->sheet().m_bRescan = 1; });
}

// The last source folder is offered again; the project is named after the
// product and gets a folder of its own in the target folder.
void CCabWizPage3::OnInitDialog() {
    CCabObj& p = package();
    RecallInt(context().settings, kPackageSection, kIncludeSubFolders, p.m_bSubDirs);
    p.m_strSourceFolder = context().settings.readString(kPackageSection, kSourceFolder, "");
    p.m_strProjectName = CleanProjectName(p.m_strProduct);
    p.m_strTargetFolder = withTrailingSeparator(p.m_strTargetFolder) + p.m_strProjectName;
    form_->load(p);
}

void CCabWizPage3::OnSetActive() { sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext); }

bool CCabWizPage3::OnWizardNext() {
    const FolderForm::RequiredMessages messages{tr("Source Directory required."), tr("Project Name required."),
                                                tr("Target Folder required.")};
    if (ShowProblem(context(), form_->check(messages))) return false;
    // Asked at every Next: the Files page has nothing to scan without it.
    const QString source = form_->sourceFolder->text();
    std::error_code error;
    if (!std::filesystem::is_directory(source.toStdString(), error)) {
        ShowProblem(context(), FormProblem{tr("The source folder does not exist or is not a folder:\n\n%1").arg(source),
                                           form_->sourceFolder, Icon::Error});
        return false;
    }
    CCabObj& p = package();
    form_->store(p);
    p.m_strTargetFolder = withTrailingSeparator(p.m_strTargetFolder);
    if (auto tooLong = FindNameTooLong(p.m_strPackageFile, p.m_strProjectName, p.m_strTargetFolder)) {
        ShowProblem(context(), FormProblem{QString::fromStdString(NameTooLongMessage(*tooLong)), form_->projectName});
        return false;
    }
    if (fileExists(FirstOutputFile(p))) {
        ShowProblem(context(), FormProblem{tr("A project with the same name already exists.\n\nPlease select "
                                              "another project name\nor remove the conflicting project."),
                                           form_->projectName, Icon::Error});
        return false;
    }
    context().settings.writeInt(kPackageSection, kIncludeSubFolders, p.m_bSubDirs);
    context().settings.writeString(kPackageSection, kSourceFolder, p.m_strSourceFolder);
    return true;
}

}  // namespace pcn::gui
