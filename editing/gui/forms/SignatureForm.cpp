#include "editing/gui/forms/SignatureForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "distribution/UserInterface.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormSupport.h"
#include "editing/gui/forms/TimeStampServerForm.h"
#include "editing/gui/pickers/Pickers.h"
#include "model/CCabObj.h"
#include "model/Digest.h"
#include "platform/SettingsStore.h"
#include "signing/SigningJobs.h"

namespace pcn::gui {
namespace {

constexpr int kCredentialsMode = 1;
constexpr int kKeyMode = 2;

}  // namespace

SignatureForm::SignatureForm(EditingContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    auto* group = new QGroupBox(tr("Code Signing"), this);
    credentials_ = namedWidget(new QLineEdit(group), "credentials");
    browseCredentials_ = namedWidget(new QPushButton(tr("Browse..."), group), "browseCredentials");
    privateKey_ = namedWidget(new QLineEdit(group), "privateKey");
    browseKey_ = namedWidget(new QPushButton(tr("Browse..."), group), "browseKey");
    signInfo_ = namedWidget(new QLineEdit(group), "signInfo");
    md5_ = namedWidget(new QRadioButton(tr("MD5"), group), "md5");
    sha1_ = namedWidget(new QRadioButton(tr("SHA 1"), group), "sha1");
    sha256_ = namedWidget(new QRadioButton(tr("SHA-256"), group), "sha256");
    timeStamp_ = namedWidget(new QCheckBox(tr("Include Time Stamp?"), group), "timeStamp");
    server_ = new TimeStampServerForm(group);

    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(tr("Software Publishing Credentials:"), group), 0, 0, 1, 2);
    grid->addWidget(credentials_, 1, 0);
    grid->addWidget(browseCredentials_, 1, 1);
    grid->addWidget(new QLabel(tr("Private Key:"), group), 2, 0, 1, 2);
    grid->addWidget(privateKey_, 3, 0);
    grid->addWidget(browseKey_, 3, 1);
    grid->addWidget(new QLabel(tr("Where can people find more information about it?"), group), 4, 0, 1, 2);
    grid->addWidget(signInfo_, 5, 0, 1, 2);
    grid->addWidget(new QLabel(tr("(e.g.: a URL, a File Name, etc.)"), group), 6, 0, 1, 2);
    auto* digest = new QHBoxLayout;
    digest->addWidget(new QLabel(tr("Cryptographic Digest Algorithm:"), group));
    digest->addWidget(md5_);
    digest->addWidget(sha1_);
    digest->addWidget(sha256_);
    digest->addStretch();
    grid->addLayout(digest, 7, 0, 1, 2);
    grid->addWidget(timeStamp_, 8, 0, 1, 2);
    grid->addWidget(server_, 9, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();

    for (QLineEdit* edit : {credentials_, privateKey_, signInfo_})
        connect(edit, &QLineEdit::textEdited, this, &SignatureForm::modified);
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{md5_, sha1_, sha256_, timeStamp_})
        connect(button, &QAbstractButton::clicked, this, &SignatureForm::modified);
    connect(server_, &TimeStampServerForm::edited, this, &SignatureForm::modified);
    connect(browseCredentials_, &QPushButton::clicked, this, &SignatureForm::browseCredentials);
    connect(browseKey_, &QPushButton::clicked, this, &SignatureForm::browseKey);
}

void SignatureForm::load(const CCabObj& package) {
    sourceFolder_ = package.m_strSourceFolder;
    credentials_->setText(QString::fromStdString(package.m_strSignCredentials));
    privateKey_->setText(QString::fromStdString(package.m_strSignKey));
    signInfo_->setText(QString::fromStdString(package.m_strSignInfo));
    (package.m_bMD5 == kDigestSha256 ? sha256_ : package.m_bMD5 ? md5_ : sha1_)->setChecked(true);
    timeStamp_->setChecked(package.m_bTimeStamp);
    server_->showTemplate(context_.settings.readString(codesign::kSection, codesign::kTimeStampCommand,
                                                       codesign::kDefaultTimeStampCommand));
}

int32_t SignatureForm::digest() const {
    if (sha256_->isChecked()) return kDigestSha256;
    return md5_->isChecked() ? kDigestMd5 : kDigestSha1;
}

bool SignatureForm::checkTimeStampServer() {
    const std::string problem = server_->problem();
    if (problem.empty()) return true;
    context_.ui.message(problem, "Parcelon", Icon::Error, Buttons::Ok, Answer::Ok);
    server_->url()->setFocus();
    return false;
}

void SignatureForm::store(CCabObj& package) const {
    package.m_bMD5 = digest();
    package.m_bTimeStamp = timeStamp_->isChecked();
    const std::string current = context_.settings.readString(codesign::kSection, codesign::kTimeStampCommand,
                                                             codesign::kDefaultTimeStampCommand);
    if (const std::string wanted = server_->applyTo(current); wanted != current)
        context_.settings.writeString(codesign::kSection, codesign::kTimeStampCommand, wanted);
    package.m_strSignCredentials = credentials_->text().toStdString();
    package.m_strSignKey = privateKey_->text().toStdString();
    package.m_strSignInfo = signInfo_->text().toStdString();
}

void SignatureForm::setFieldsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{credentials_, browseCredentials_, privateKey_, browseKey_,
                                                     signInfo_, md5_, sha1_, sha256_, timeStamp_, server_})
        w->setEnabled(enabled);
}

void SignatureForm::browseCredentials() { browse(credentials_, kCredentialsMode); }

void SignatureForm::browseKey() { browse(privateKey_, kKeyMode); }

void SignatureForm::browse(QLineEdit* field, int mode) {
    QString path = QString::fromStdString(sourceFolder_);
    if (!context_.pickers.credentialsOrKey(this, path, mode)) return;
    field->setText(path);
    emit modified();
}

}  // namespace pcn::gui
