#include "signing/gui/CCheckTrustPage1.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "distribution/UserInterface.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormSupport.h"
#include "editing/gui/pickers/Pickers.h"
#include "platform/SettingsStore.h"
#include "signing/gui/CCheckTrustSheet.h"
#include "signing/gui/SigningSettings.h"

namespace pcn::gui {
namespace {

constexpr int kDefaultFilterIndex = 2;

}  // namespace

CCheckTrustPage1::CCheckTrustPage1(CCheckTrustSheet& sheet) : QWizardPage(&sheet), sheet_(sheet) {
    setObjectName("CCheckTrustPage1");
    setTitle(tr("Check Trust (1 of 2)"));
    auto* group = new QGroupBox(tr("Select File to Check Trust on"), this);
    file_ = namedWidget(new QLineEdit(group), "file");
    browse_ = namedWidget(new QPushButton(tr("Br&owse"), group), "browse");
    displayUI_ = namedWidget(new QCheckBox(tr("&Display Trust Information"), group), "displayUI");
    auto* grid = new QGridLayout(group);
    auto* label = new QLabel(tr("Which &file would you like to Check Trust on?"), group);
    label->setBuddy(file_);
    grid->addWidget(label, 0, 0, 1, 2);
    grid->addWidget(file_, 1, 0);
    grid->addWidget(browse_, 1, 1);
    grid->addWidget(displayUI_, 2, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();
    connect(browse_, &QPushButton::clicked, this, &CCheckTrustPage1::browse);
}

void CCheckTrustPage1::initializePage() {
    const SettingsStore& s = sheet_.context().settings;
    file_->setText(QString::fromStdString(s.readString(signsettings::kCheckTrustSection, "Last File", "")));
    displayUI_->setChecked(s.readInt(signsettings::kCheckTrustSection, "Display UI", 1) != 0);
}

bool CCheckTrustPage1::validatePage() {
    if (file_->text().isEmpty()) {
        sheet_.context().ui.message("File to check is a required entry.", "Parcelon", Icon::Error, Buttons::Ok,
                                    Answer::Ok);
        file_->setFocus();
        return false;
    }
    SettingsStore& s = sheet_.context().settings;
    s.writeString(signsettings::kCheckTrustSection, "Last File", file_->text().toStdString());
    s.writeInt(signsettings::kCheckTrustSection, "Display UI", displayUI_->isChecked() ? 1 : 0);
    CCheckTrustInfo& job = sheet_.job();
    job.file = file_->text().toStdString();
    job.displayUI = displayUI_->isChecked() ? 1 : 0;
    return true;
}

int CCheckTrustPage1::nextId() const { return CCheckTrustSheet::kCheckPage; }

void CCheckTrustPage1::browse() {
    SettingsStore& s = sheet_.context().settings;
    QString path = file_->text();
    int filterIndex = s.readInt(signsettings::kCheckTrustSection, "Last Index", kDefaultFilterIndex);
    if (!sheet_.context().pickers.fileToCheck(this, path, filterIndex)) return;
    s.writeInt(signsettings::kCheckTrustSection, "Last Index", filterIndex);
    file_->setText(path);
}

}  // namespace pcn::gui
