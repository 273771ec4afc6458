#include "signing/gui/CSignCodeMyPropertyPage1.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "distribution/UserInterface.h"
#include "editing/core/SigningDefaults.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormSupport.h"
#include "editing/gui/pickers/Pickers.h"
#include "platform/SettingsStore.h"
#include "signing/gui/CSignCodePropertySheet.h"
#include "signing/gui/SigningSettings.h"

namespace pcn::gui {
namespace {

// The file-to-sign picker's mode that asks for any signable file.
constexpr int kFileToSignMode = 2;
constexpr int kAllFilesIndex = 3;

}  // namespace

CSignCodeMyPropertyPage1::CSignCodeMyPropertyPage1(CSignCodePropertySheet& sheet)
    : QWizardPage(&sheet), sheet_(sheet) {
    setObjectName("CSignCodeMyPropertyPage1");
    setTitle(tr("Code Signing Wizard (1 of 3)"));
    file_ = namedWidget(new QLineEdit(this), "file");
    browseFile_ = namedWidget(new QPushButton(tr("Browse..."), this), "browseFile");
    name_ = namedWidget(new QLineEdit(this), "name");
    information_ = namedWidget(new QLineEdit(this), "information");
    browseInformation_ = namedWidget(new QPushButton(tr("Browse..."), this), "browseInformation");

    auto* grid = new QGridLayout;
    auto* fileLabel = new QLabel(tr("Which &program would you like to digitally sign?"), this);
    fileLabel->setBuddy(file_);
    grid->addWidget(fileLabel, 0, 0, 1, 2);
    grid->addWidget(file_, 1, 0);
    grid->addWidget(browseFile_, 1, 1);
    grid->addWidget(new QLabel(tr("What would you like to call this program?"), this), 2, 0, 1, 2);
    grid->addWidget(name_, 3, 0, 1, 2);
    auto* infoLabel = new QLabel(tr("&Where can people find more information about this program?"), this);
    infoLabel->setBuddy(information_);
    grid->addWidget(infoLabel, 4, 0, 1, 2);
    grid->addWidget(information_, 5, 0);
    grid->addWidget(browseInformation_, 5, 1);
    grid->addWidget(new QLabel(tr("(e.g.: a URL, a File Name, etc.)"), this), 6, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();

    connect(browseFile_, &QPushButton::clicked, this, &CSignCodeMyPropertyPage1::browseFile);
    connect(browseInformation_, &QPushButton::clicked, this, &CSignCodeMyPropertyPage1::browseInformation);
}

void CSignCodeMyPropertyPage1::initializePage() {
    if (initialised_) return;
    initialised_ = true;
    EditingContext& context = sheet_.context();
    CSignCodeInfo& job = sheet_.job();
    if (auto signCode = context.registry.OpenUserKey(kSignCodeKey)) {
        context.registry.ReadText(*signCode, "Credentials", job.credentials);
        context.registry.ReadText(*signCode, "Key", job.key);
    }
    std::string information;
    if (auto key = context.registry.OpenMachineKey(kInformationKey)) context.registry.ReadText(*key, "URL", information);
    const SettingsStore& s = context.settings;
    file_->setText(QString::fromStdString(s.readString(signsettings::kSection, "File", "")));
    information_->setText(QString::fromStdString(s.readString(signsettings::kSection, "URL", information)));
    name_->setText(QString::fromStdString(s.readString(signsettings::kSection, "Name", "")));
}

bool CSignCodeMyPropertyPage1::validatePage() {
    EditingContext& context = sheet_.context();
    if (file_->text().isEmpty()) {
        context.ui.message("File to sign is a required entry.", "Parcelon", Icon::Error, Buttons::Ok, Answer::Ok);
        file_->setFocus();
        return false;
    }
    CSignCodeInfo& job = sheet_.job();
    job.file = file_->text().toStdString();
    job.information = information_->text().toStdString();
    job.name = name_->text().toStdString();
    context.settings.writeString(signsettings::kSection, "File", job.file);
    context.settings.writeString(signsettings::kSection, "URL", job.information);
    context.settings.writeString(signsettings::kSection, "Name", job.name);
    return true;
}

int CSignCodeMyPropertyPage1::nextId() const { return CSignCodePropertySheet::kCredentialsPage; }

void CSignCodeMyPropertyPage1::browseFile() {
    QString path = file_->text();
    if (sheet_.context().pickers.fileToSign(this, path, kFileToSignMode)) file_->setText(path);
}

void CSignCodeMyPropertyPage1::browseInformation() {
    SettingsStore& s = sheet_.context().settings;
    QString path = QString::fromStdString(s.readString(signsettings::kUrlSection, "Last File", ""));
    if (path.isEmpty()) path = information_->text();
    int filterIndex = s.readInt(signsettings::kUrlSection, "Last Index", kAllFilesIndex);
    if (!sheet_.context().pickers.licenceFile(this, path, filterIndex)) return;
    information_->setText(path);
    s.writeInt(signsettings::kUrlSection, "Last Index", filterIndex);
    s.writeString(signsettings::kUrlSection, "Last File", path.toStdString());
}

}  // namespace pcn::gui
