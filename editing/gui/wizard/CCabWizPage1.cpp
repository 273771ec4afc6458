#include "editing/gui/wizard/CCabWizPage1.h"

#include <QDate>
#include <QEvent>
#include <QLineEdit>
#include <QVBoxLayout>

#include "editing/core/NewPackage.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/InformationForm.h"
#include "editing/gui/forms/RememberedValues.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "model/CCabObj.h"
#include "model/PackageFile.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"

namespace pcn::gui {

namespace {

// The remembered values of the page, by their names in Settings\Package.
struct RememberedField {
    const char* name;
    QLineEdit* InformationForm::*edit;
};
constexpr RememberedField kRemembered[] = {
    {"Company", &InformationForm::companyName},         {"Copyright", &InformationForm::copyright},
    {"Description", &InformationForm::packageDescription}, {"Version", &InformationForm::productVersion},
    {"Comment", &InformationForm::comment},
};

}  // namespace

CCabWizPage1::CCabWizPage1(CCabWizSheet& sheet) : CCabWizPage(sheet, tr("Package Information")) {
    setObjectName("CCabWizPage1");
    form_ = new InformationForm(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
    layout->addStretch();
    form_->companyName->installEventFilter(this);
    connect(form_->productName, &QLineEdit::textChanged, this, &CCabWizPage1::productNameChanged);
    connect(form_->productVersion, &QLineEdit::textChanged, this, &CCabWizPage1::productVersionChanged);
}

void CCabWizPage1::OnInitDialog() {
    loading_ = true;
    form_->load(package());
    if (package().m_strCompany.empty()) takeMachineDefaults();
    recallRememberedValues();
    loading_ = false;
}

// Next stays disabled until there is a Product Name.
void CCabWizPage1::OnSetActive() { enableNext(); }

// The registered organisation, then the program's own machine-wide company
// and copyright where they are set.
void CCabWizPage1::takeMachineDefaults() {
    CRegistryHelper& registry = context().registry;
    std::string organisation;
    if (auto key = registry.OpenMachineKey(kWindowsNtVersionKey);
        key && registry.ReadText(*key, "RegisteredOrganization", organisation)) {
        form_->companyName->setText(QString::fromStdString(organisation));
        form_->copyright->setText(
            QString::fromUtf8("Copyright © %1 %2").arg(QDate::currentDate().year()).arg(form_->companyName->text()));
        form_->productVersion->setText("1,0,0,1");
    }
    if (auto key = registry.OpenMachineKey(kInformationKey)) {
        std::string text;
        if (registry.ReadText(*key, "Company", text)) form_->companyName->setText(QString::fromStdString(text));
        if (registry.ReadText(*key, "Copyright", text)) form_->copyright->setText(QString::fromStdString(text));
    }
}

void CCabWizPage1::recallRememberedValues() {
    for (const RememberedField& field : kRemembered) {
        QLineEdit* edit = form_->*field.edit;
        std::string value = edit->text().toStdString();
        RecallString(context().settings, kPackageSection, field.name, value);
        edit->setText(QString::fromStdString(value));
    }
}

void CCabWizPage1::rememberValues() {
    for (const RememberedField& field : kRemembered)
        context().settings.writeString(kPackageSection, field.name, (form_->*field.edit)->text().toStdString());
}

bool CCabWizPage1::eventFilter(QObject* watched, QEvent* event) {
    // A company already filled in needs no typing: go straight on to the product.
    if (watched == form_->companyName && event->type() == QEvent::FocusIn && !companyFocused_) {
        companyFocused_ = true;
        if (!form_->companyName->text().isEmpty()) form_->productName->setFocus(Qt::OtherFocusReason);
    }
    return CCabWizPage::eventFilter(watched, event);
}

void CCabWizPage1::enableNext() {
    sheet().setWizardButtons(form_->productName->text().isEmpty() ? 0 : CCabWizSheet::kWizNext);
}

void CCabWizPage1::productNameChanged() {
    if (loading_) return;
    enableNext();
    const std::string product = form_->productName->text().toStdString();
    form_->packageDescription->setText(QString::fromStdString(DefaultDescription(product)));
    form_->comment->setText(
        QString::fromStdString(DefaultComment(product, form_->productVersion->text().toStdString())));
}

void CCabWizPage1::productVersionChanged() {
    if (loading_) return;
    const QString comment = form_->comment->text();
    const qsizetype bracket = comment.indexOf('[');
    if (bracket < 0) return;
    form_->comment->setText(comment.left(bracket + 1) + form_->productVersion->text() + "]");
}

bool CCabWizPage1::OnWizardNext() {
    CCabObj& p = package();
    form_->store(p);
    p.m_strPackageFile = NewPackageFileName(PackageFileStem(p.m_strProduct));
    if (ShowProblem(context(), form_->check())) return false;
    // The Folder page makes the product the project name and the output folder's name.
    const std::string project = CleanProjectName(p.m_strProduct);
    if (auto tooLong =
            FindNameTooLong(p.m_strPackageFile, project, withTrailingSeparator(p.m_strTargetFolder) + project)) {
        ShowProblem(context(), FormProblem{QString::fromStdString(NameTooLongMessage(*tooLong)), form_->productName});
        return false;
    }
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext);
    rememberValues();
    return true;
}

}  // namespace pcn::gui
