#include "editing/gui/options/CStdPropertyPage1.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editing/gui/EditingContext.h"
#include "editing/gui/options/CStdProperties.h"
#include "platform/SettingsStore.h"

namespace pcn::gui {

CStdPropertyPage1::CStdPropertyPage1(CStdProperties& sheet)
    : CPropertyPage(sheet, "Animation"), context_(sheet.context()) {
    setObjectName("CStdPropertyPage1");
    auto* group = new QGroupBox("Animation", this);
    custom_ = new QRadioButton("&Custom Animation", group);
    custom_->setObjectName("customAnimation");
    flyingFolders_ = new QRadioButton("&Windows Flying Folders", group);
    flyingFolders_->setObjectName("flyingFolders");
    none_ = new QRadioButton("&None", group);
    none_->setObjectName("noAnimation");
    // A stored value outside 0..2 checks none of them, so the group starts empty.
    auto* choices = new QButtonGroup(this);
    for (QRadioButton* button : {custom_, flyingFolders_, none_}) {
        choices->addButton(button);
        connect(button, &QRadioButton::clicked, this, [this] { SetModified(); });
    }
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(custom_);
    groupLayout->addWidget(flyingFolders_);
    groupLayout->addWidget(none_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();
}

void CStdPropertyPage1::OnInitDialog() {
    switch (context_.settings.readInt(options::kSettingsSection, options::kAnimation, kCustomAnimation)) {
        case kCustomAnimation: custom_->setChecked(true); break;
        case kFlyingFolders: flyingFolders_->setChecked(true); break;
        case kNoAnimation: none_->setChecked(true); break;
        default: break;
    }
}

bool CStdPropertyPage1::OnApply() {
    const int value = none_->isChecked() ? kNoAnimation : flyingFolders_->isChecked() ? kFlyingFolders : kCustomAnimation;
    return ReportUnsavedOptions(context_, context_.settings.writeInt(options::kSettingsSection, options::kAnimation, value));
}

}  // namespace pcn::gui
