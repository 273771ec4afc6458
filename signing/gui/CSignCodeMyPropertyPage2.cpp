#include "signing/gui/CSignCodeMyPropertyPage2.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormSupport.h"
#include "editing/gui/pickers/Pickers.h"
#include "model/Digest.h"
#include "platform/SettingsStore.h"
#include "signing/gui/CSignCodePropertySheet.h"
#include "signing/gui/SigningSettings.h"

namespace pcn::gui {
namespace {

constexpr int kCredentialsMode = 1;
constexpr int kKeyMode = 2;

}  // namespace

CSignCodeMyPropertyPage2::CSignCodeMyPropertyPage2(CSignCodePropertySheet& sheet)
    : QWizardPage(&sheet), sheet_(sheet) {
    setObjectName("CSignCodeMyPropertyPage2");
    setTitle(tr("Code Signing Wizard (2 of 3)"));
    setFinalPage(true);
    credentials_ = namedWidget(new QLineEdit(this), "credentials");
    browseCredentials_ = namedWidget(new QPushButton(tr("Browse..."), this), "browseCredentials");
    privateKey_ = namedWidget(new QLineEdit(this), "privateKey");
    browseKey_ = namedWidget(new QPushButton(tr("Browse..."), this), "browseKey");
    auto* digestBox = new QGroupBox(tr("Cryptographic Digest Algorithm"), this);
    md5_ = namedWidget(new QRadioButton(tr("MD5"), digestBox), "md5");
    sha1_ = namedWidget(new QRadioButton(tr("SHA 1"), digestBox), "sha1");
    sha256_ = namedWidget(new QRadioButton(tr("SHA-256"), digestBox), "sha256");
    timeStamp_ = namedWidget(new QCheckBox(tr("&Include Time Stamp"), this), "timeStamp");
    checkTrust_ = namedWidget(new QCheckBox(tr("Check Trust after &Signing"), this), "checkTrust");

    auto* digestRow = new QHBoxLayout(digestBox);
    for (QRadioButton* b : {md5_, sha1_, sha256_}) digestRow->addWidget(b);
    digestRow->addStretch();
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Software Publishing Credentials:"), this), 0, 0, 1, 2);
    grid->addWidget(credentials_, 1, 0);
    grid->addWidget(browseCredentials_, 1, 1);
    grid->addWidget(new QLabel(tr("Private Key:"), this), 2, 0, 1, 2);
    grid->addWidget(privateKey_, 3, 0);
    grid->addWidget(browseKey_, 3, 1);
    grid->addWidget(digestBox, 4, 0, 1, 2);
    grid->addWidget(timeStamp_, 5, 0, 1, 2);
    grid->addWidget(checkTrust_, 6, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();

    connect(browseCredentials_, &QPushButton::clicked, this, [this] { browse(credentials_, kCredentialsMode); });
    connect(browseKey_, &QPushButton::clicked, this, [this] { browse(privateKey_, kKeyMode); });
}

void CSignCodeMyPropertyPage2::initializePage() {
    const SettingsStore& s = sheet_.context().settings;
    CSignCodeInfo& job = sheet_.job();
    std::string credentials = job.credentials.empty() ? s.readString(signsettings::kSection, "SPCFile", "")
                                                      : job.credentials;
    std::string key = job.key.empty() ? s.readString(signsettings::kSection, "KeyFile", "") : job.key;
    credentials_->setText(QString::fromStdString(credentials));
    privateKey_->setText(QString::fromStdString(key));
    const int32_t digest = s.readInt(signsettings::kSection, "MD5", defaultDigest(s));
    (digest == kDigestSha256 ? sha256_ : digest ? md5_ : sha1_)->setChecked(true);
    timeStamp_->setChecked(s.readInt(signsettings::kSection, "TimeStamp", 0) != 0);
    checkTrust_->setChecked(s.readInt(signsettings::kSection, "Trust", 1) != 0);
}

int CSignCodeMyPropertyPage2::digest() const {
    if (sha256_->isChecked()) return kDigestSha256;
    return md5_->isChecked() ? kDigestMd5 : kDigestSha1;
}

bool CSignCodeMyPropertyPage2::validatePage() {
    CSignCodeInfo& job = sheet_.job();
    job.md5 = digest();
    job.timeStamp = timeStamp_->isChecked();
    job.checkTrust = checkTrust_->isChecked();
    job.credentials = credentials_->text().toStdString();
    job.key = privateKey_->text().toStdString();
    SettingsStore& s = sheet_.context().settings;
    s.writeInt(signsettings::kSection, "MD5", job.md5);
    s.writeInt(signsettings::kSection, "TimeStamp", job.timeStamp);
    s.writeInt(signsettings::kSection, "Trust", job.checkTrust);
    s.writeString(signsettings::kSection, "SPCFile", job.credentials);
    s.writeString(signsettings::kSection, "KeyFile", job.key);
    return true;
}

int CSignCodeMyPropertyPage2::nextId() const { return CSignCodePropertySheet::kSigningPage; }

void CSignCodeMyPropertyPage2::browse(QLineEdit* field, int mode) {
    QString path;
    if (sheet_.context().pickers.credentialsOrKey(this, path, mode)) field->setText(path);
}

}  // namespace pcn::gui
