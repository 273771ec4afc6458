#include "editing/gui/options/CStdPropertyPage0.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

#include "editing/gui/EditingContext.h"
#include "editing/gui/options/CStdProperties.h"
#include "platform/SettingsStore.h"

namespace pcn::gui {

CStdPropertyPage0::CStdPropertyPage0(CStdProperties& sheet)
    : CPropertyPage(sheet, "General"), context_(sheet.context()) {
    setObjectName("CStdPropertyPage0");
    auto* group = new QGroupBox("General Settings", this);
    reloadWorkspace_ = new QCheckBox("Reload &last workspace at startup", group);
    reloadWorkspace_->setObjectName("reloadWorkspace");
    displayDateTime_ = new QCheckBox("Display &Date and Time on status bar", group);
    displayDateTime_->setObjectName("displayDateTime");
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(reloadWorkspace_);
    groupLayout->addWidget(displayDateTime_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();

    for (QCheckBox* box : {reloadWorkspace_, displayDateTime_})
        connect(box, &QCheckBox::clicked, this, [this] { SetModified(); });
}

void CStdPropertyPage0::OnInitDialog() {
    const SettingsStore& settings = context_.settings;
    reloadWorkspace_->setChecked(settings.readInt(options::kGeneralSection, options::kReloadWorkspace, 1) != 0);
    displayDateTime_->setChecked(settings.readInt(options::kGeneralSection, options::kDisplayDateAndTime, 1) != 0);
}

bool CStdPropertyPage0::OnApply() {
    SettingsStore& settings = context_.settings;
    const bool reload =
        settings.writeInt(options::kGeneralSection, options::kReloadWorkspace, reloadWorkspace_->isChecked() ? 1 : 0);
    const bool clock = settings.writeInt(options::kGeneralSection, options::kDisplayDateAndTime,
                                         displayDateTime_->isChecked() ? 1 : 0);
    return ReportUnsavedOptions(context_, reload && clock);
}

}  // namespace pcn::gui
