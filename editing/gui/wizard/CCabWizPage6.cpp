#include "editing/gui/wizard/CCabWizPage6.h"

#include <QCheckBox>
#include <QComboBox>
#include <QVBoxLayout>

#include "building/BuildSupport.h"
#include "editing/core/NewPackage.h"
#include "editing/gui/forms/InstallationForm.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "model/CCabObj.h"

namespace pcn::gui {

int PageAfterMiniSetup(const CCabObj& package) {
    return package.m_bSignature ? CCabWizSheet::kSignaturePage : CCabWizSheet::kSummaryPage;
}

int PageAfterInstallation(const CCabObj& package) {
    return package.m_bMiniSetup ? CCabWizSheet::kMiniSetupPage : PageAfterMiniSetup(package);
}

CCabWizPage6::CCabWizPage6(CCabWizSheet& sheet) : CCabWizPage(sheet, tr("Package Installations Options")) {
    setObjectName("CCabWizPage6");
    form_ = new InstallationForm(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
}

void CCabWizPage6::OnInitDialog() {
    const CCabObj& p = package();
    form_->load(p);
    form_->restoreDirs()->setChecked(false);
    form_->fillFolderLists(p.m_strProduct);
    form_->showInstallDir(QString::fromStdString(p.m_strInstallDir.empty() ? DefaultInstallDir(p.m_strProduct)
                                                                            : p.m_strInstallDir));
    form_->exeDir()->setCurrentText(QString());
    form_->fillProgramList(p);
}

void CCabWizPage6::OnSetActive() {
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext);
    form_->enableForKind(BuildKind(package()));
}

bool CCabWizPage6::OnWizardNext() {
    if (ShowProblem(context(), form_->check())) return false;
    form_->store(package());
    return true;
}

int CCabWizPage6::nextPageId() const { return PageAfterInstallation(package()); }

int CCabWizPage6::backPageId() const { return CCabWizSheet::kUserOptionsPage; }

}  // namespace pcn::gui
