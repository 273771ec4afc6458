#include "editing/gui/options/CStdPropertyPage2.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "building/SelfExtractor.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/options/CStdProperties.h"
#include "editing/gui/pickers/Pickers.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"

namespace pcn::gui {

CStdPropertyPage2::CStdPropertyPage2(CStdProperties& sheet)
    : CPropertyPage(sheet, "Self Extracting Cabinet"), context_(sheet.context()) {
    setObjectName("CStdPropertyPage2");
    auto* label = new QLabel(
        "Select Self Extracting executable to use for Self Extracting Cabinet files (Default Extract.exe)", this);
    label->setWordWrap(true);
    path_ = new QLineEdit(this);
    path_->setObjectName("selfExtractor");
    label->setBuddy(path_);
    browse_ = new QPushButton("&Browse", this);
    browse_->setObjectName("browse");
    default_ = new QPushButton("&Default", this);
    default_->setObjectName("defaultExtractor");

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0, 1, 3);
    layout->addWidget(path_, 1, 0, 1, 3);
    layout->addWidget(browse_, 2, 1);
    layout->addWidget(default_, 2, 2);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(3, 1);

    connect(browse_, &QPushButton::clicked, this, &CStdPropertyPage2::browse);
    connect(default_, &QPushButton::clicked, this, &CStdPropertyPage2::useDefault);
    connect(path_, &QLineEdit::textEdited, this, [this] { SetModified(); });
}

QString CStdPropertyPage2::defaultExtractor() {
    return QString::fromStdString(programFolder() + std::string(kExtractorStubName));
}

void CStdPropertyPage2::OnInitDialog() {
    const std::string chosen = context_.settings.readString(kSelfExtractorSection, kSelfExtractorValue, "");
    path_->setText(chosen.empty() ? defaultExtractor() : QString::fromStdString(chosen));
}

void CStdPropertyPage2::browse() {
    SettingsStore& settings = context_.settings;
    QString path = QString::fromStdString(settings.readString(options::kBrowseSection, options::kLastFile, ""));
    int filterIndex = settings.readInt(options::kBrowseSection, options::kLastIndex, options::kExeFilterIndex);
    if (!context_.pickers.licenceFile(this, path, filterIndex)) return;
    path_->setText(path);
    SetModified();
    settings.writeInt(options::kBrowseSection, options::kLastIndex, filterIndex);
    settings.writeString(options::kBrowseSection, options::kLastFile, path.toStdString());
}

void CStdPropertyPage2::useDefault() {
    path_->setText(defaultExtractor());
    SetModified();
}

bool CStdPropertyPage2::OnApply() {
    // Written as shown, the default path too; whether the file exists is the build's concern.
    return ReportUnsavedOptions(
        context_, context_.settings.writeString(kSelfExtractorSection, kSelfExtractorValue, path_->text().toStdString()));
}

}  // namespace pcn::gui
