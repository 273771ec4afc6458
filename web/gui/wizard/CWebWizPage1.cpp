#include "web/gui/wizard/CWebWizPage1.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FolderForm.h"
#include "editing/gui/forms/FormProblem.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "web/NewWebPackage.h"
#include "web/gui/DependencyScan.h"
#include "web/gui/WebSettings.h"
#include "web/gui/forms/WebGeneralForm.h"
#include "web/gui/wizard/CWebWizSheet.h"

namespace pcn::gui {

CWebWizPage1::CWebWizPage1(CWebWizSheet& sheet)
    : CCabWizPage(sheet, tr("Web Inf Package - General Information")), state_(sheet.state()) {
    setObjectName("CWebWizPage1");
    form_ = new WebGeneralForm(sheet.context().pickers, this);
    scan_ = new DependencyScan(form_->status, form_->progress, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
    layout->addStretch();
    connect(form_->productName, &QLineEdit::textEdited, this, &CWebWizPage1::productEdited);
    connect(form_->componentPath, &QLineEdit::textChanged, this, &CWebWizPage1::componentChanged);
    connect(form_, &WebGeneralForm::scanOptionClicked, this, [this] { state_.m_bRescan = 1; });
    // A component chosen again with Browse is scanned again, even under the same name.
    connect(form_, &WebGeneralForm::componentBrowsed, this,
            [this] { componentChanged(form_->componentPath->text()); });
}

void CWebWizPage1::OnInitDialog() {
    const SettingsStore& settings = context().settings;
    using namespace web_settings;
    const QString product = QString::fromStdString(settings.readString(kInfSection, kProduct, ""));
    form_->productName->setText(product);
    form_->componentPath->setText(QString::fromStdString(settings.readString(kInfSection, kLastPath, "")));
    form_->scan->setChecked(settings.readInt(kInfSection, kScan, 0) != 0);
    form_->scanDynamic->setChecked(settings.readInt(kInfSection, kScanDynamic, 0) != 0);
    form_->htmTemplate->setChecked(settings.readInt(kInfSection, kIncludeHtm, 0) != 0);
    form_->includeLpk->setChecked(settings.readInt(kInfSection, kIncludeLpk, 0) != 0);
    form_->targetFolder->setText(QString::fromStdString(withTrailingSeparator(package().m_strTargetFolder)) + product);
    form_->applyScanRule();
    form_->applyHtmRule();
    state_.m_bRescan = 1;
}

void CWebWizPage1::OnSetActive() {
    const bool empty = form_->productName->text().isEmpty() && form_->componentPath->text().isEmpty();
    sheet().setWizardButtons(empty ? 0 : CCabWizSheet::kWizNext);
}

// Characters that would split or break the target folder's path are refused
// as they are typed: the target folder stays as it was. "Gauge 2.0" is a
// name like any other.
void CWebWizPage1::productEdited(const QString& text) {
    if (text.contains(QRegularExpression(R"([\\:/])"))) {
        QApplication::beep();
        return;
    }
    form_->targetFolder->setText(RetargetFolder(form_->targetFolder->text(), text));
}

void CWebWizPage1::componentChanged(const QString& text) {
    sheet().setWizardButtons(text.isEmpty() ? 0 : CCabWizSheet::kWizNext);
    state_.m_bRescan = 1;
}

bool CWebWizPage1::checkFields() {
    // The product name names the output files, and a package needs a component.
    const std::string problem = WebProductNameProblem(form_->productName->text().toStdString());
    if (!problem.empty()) return !ShowProblem(context(), FormProblem{QString::fromStdString(problem), form_->productName});
    if (form_->componentPath->text().trimmed().isEmpty())
        return !ShowProblem(context(), FormProblem{tr("A component to deploy is needed."), form_->componentPath});
    const std::string component = WebComponentNameProblem(form_->componentPath->text().toStdString());
    if (!component.empty())
        return !ShowProblem(context(), FormProblem{QString::fromStdString(component), form_->componentPath});
    return true;
}

void CWebWizPage1::storeFields() {
    CCabObj& p = package();
    CWebObj& web = *p.m_pWeb;
    p.m_strProduct = form_->productName->text().toStdString();
    web.SetComponentPath(form_->componentPath->text().toStdString());
    web.m_bScan = form_->scan->isChecked() ? 1 : 0;
    web.m_bScanDynamic = form_->scanDynamic->isChecked() ? 1 : 0;
}

void CWebWizPage1::rememberFields() {
    SettingsStore& settings = context().settings;
    using namespace web_settings;
    settings.writeString(kInfSection, kProduct, form_->productName->text().toStdString());
    settings.writeString(kInfSection, kLastPath, form_->componentPath->text().toStdString());
    settings.writeInt(kInfSection, kScan, form_->scan->isChecked() ? 1 : 0);
    settings.writeInt(kInfSection, kScanDynamic, form_->scanDynamic->isChecked() ? 1 : 0);
    settings.writeInt(kInfSection, kIncludeHtm, form_->htmTemplate->isChecked() ? 1 : 0);
    settings.writeInt(kInfSection, kIncludeLpk, form_->includeLpk->isChecked() ? 1 : 0);
}

bool CWebWizPage1::OnWizardNext() {
    if (!checkFields()) return false;
    storeFields();
    rememberFields();
    if (state_.m_bRescan) {
        const int buttons = sheet().wizardButtons();
        const DependencyScan::Outcome outcome =
            scan_->run(package(), context().ui,
                       {form_->productName, form_->componentPath, form_->browseComponent, form_->scan,
                        form_->scanDynamic, form_->targetFolder, form_->browseTarget, form_->htmTemplate,
                        form_->includeLpk, sheet().backButton(), sheet().nextButton(), sheet().finishButton()});
        sheet().setWizardButtons(buttons);
        if (outcome != DependencyScan::Outcome::Scanned) return false;
        state_.forgetOsChoices();
    }
    form_->status->clear();
    state_.m_bRescan = 0;
    CCabObj& p = package();
    p.m_strProjectName = p.m_strProduct;
    p.m_strTargetFolder = form_->targetFolder->text().toStdString();
    form_->targetFolder->setText(QString::fromStdString(withTrailingSeparator(p.m_strTargetFolder)));
    p.m_pWeb->m_bHtmTemplate = form_->htmTemplate->isChecked() ? 1 : 0;
    p.m_pWeb->m_bLpk = form_->includeLpk->isChecked() ? 1 : 0;
    return true;
}

bool CWebWizPage1::OnQueryCancel() {
    if (!scan_->running()) return true;
    scan_->cancel();
    return false;
}

}  // namespace pcn::gui
