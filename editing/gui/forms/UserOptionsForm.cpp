#include "editing/gui/forms/UserOptionsForm.h"

#include <sys/stat.h>

#include <cerrno>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "distribution/ErrorReport.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormSupport.h"
#include "editing/gui/forms/RememberedValues.h"
#include "editing/gui/pickers/Pickers.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"

namespace pcn::gui {
namespace {

constexpr int kDefaultLicenceFilterIndex = 2;

// The error that makes the path no licence file: 0 when it is a file.
int licenceFileError(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return errno ? errno : ENOENT;
    return S_ISDIR(info.st_mode) ? EISDIR : 0;
}

}  // namespace

UserOptionsForm::UserOptionsForm(EditingContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    auto* group = new QGroupBox(tr("Prompt User With"), this);
    group->setObjectName("promptGroup");
    displayText_ = namedWidget(new QCheckBox(tr("Display Text"), group), "displayText");
    promptText_ = namedWidget(new QPlainTextEdit(group), "promptText");
    passwordProtect_ = namedWidget(new QCheckBox(tr("Password protect Package"), group), "passwordProtect");
    password_ = namedWidget(new QLineEdit(group), "password");
    password_->setEchoMode(QLineEdit::Password);
    displayLicense_ = namedWidget(new QCheckBox(tr("Display License File"), group), "displayLicense");
    licenseFile_ = namedWidget(new QLineEdit(group), "licenseFile");
    browseLicense_ = namedWidget(new QPushButton(tr("Browse..."), group), "browseLicense");

    auto* grid = new QGridLayout(group);
    grid->addWidget(displayText_, 0, 0, 1, 2);
    grid->addWidget(promptText_, 1, 0, 1, 2);
    grid->addWidget(passwordProtect_, 2, 0, 1, 2);
    grid->addWidget(password_, 3, 0, 1, 2);
    grid->addWidget(displayLicense_, 4, 0, 1, 2);
    grid->addWidget(licenseFile_, 5, 0);
    grid->addWidget(browseLicense_, 5, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();

    for (QCheckBox* box : {displayText_, passwordProtect_, displayLicense_}) {
        connect(box, &QCheckBox::clicked, this, [this] {
            updateEnabling();
            emit modified();
        });
    }
    connect(promptText_, &QPlainTextEdit::textChanged, this, &UserOptionsForm::modified);
    connect(password_, &QLineEdit::textEdited, this, &UserOptionsForm::modified);
    connect(licenseFile_, &QLineEdit::textEdited, this, &UserOptionsForm::modified);
    connect(browseLicense_, &QPushButton::clicked, this, &UserOptionsForm::browseLicenceFile);
    updateEnabling();
}

void UserOptionsForm::load(const CCabObj& package) {
    const QSignalBlocker blockText(promptText_);
    sourceFolder_ = package.m_strSourceFolder;
    displayText_->setChecked(package.m_bText);
    promptText_->setPlainText(QString::fromStdString(package.m_strText));
    passwordProtect_->setChecked(package.m_bPassword);
    password_->setText(QString::fromStdString(package.m_strPassword));
    displayLicense_->setChecked(package.m_bLicense);
    licenseFile_->setText(QString::fromStdString(package.m_strLicenseFile));
    updateEnabling();
}

void UserOptionsForm::store(CCabObj& package) const {
    package.m_bText = displayText_->isChecked();
    package.m_strText = promptText_->toPlainText().toStdString();
    package.m_bPassword = passwordProtect_->isChecked();
    package.m_strPassword = password_->text().toStdString();
    package.m_bLicense = displayLicense_->isChecked();
    package.m_strLicenseFile = licenseFile_->text().toStdString();
}

void UserOptionsForm::updateEnabling() {
    promptText_->setEnabled(displayText_->isChecked());
    password_->setEnabled(passwordProtect_->isChecked());
    licenseFile_->setEnabled(displayLicense_->isChecked());
}

bool UserOptionsForm::checkLicenceFile() {
    if (!displayLicense_->isChecked()) return true;
    const std::string path = licenseFile_->text().toStdString();
    const int error = licenceFileError(path);
    if (error == 0) return true;
    reportLastError(context_.ui, "Unable to find license file:\r\n\r\n" + path, error);
    licenseFile_->setFocus();
    return false;
}

void UserOptionsForm::browseLicenceFile() {
    SettingsStore& settings = context_.settings;
    std::string start = settings.readString(kLicenseFileSection, "Last File", "");
    if (start.empty()) start = sourceFolder_;
    QString path = QString::fromStdString(start);
    int filterIndex = settings.readInt(kLicenseFileSection, "Last Index", kDefaultLicenceFilterIndex);
    if (!context_.pickers.licenceFile(this, path, filterIndex)) return;
    licenseFile_->setText(path);
    emit modified();
    settings.writeInt(kLicenseFileSection, "Last Index", filterIndex);
    settings.writeString(kLicenseFileSection, "Last File", path.toStdString());
}

}  // namespace pcn::gui
