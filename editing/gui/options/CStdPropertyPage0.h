#pragma once
// Options, General tab: reopen the last project at start-up, show the date
// and time on the status bar.

#include "editing/gui/PropertySheet.h"

class QCheckBox;

namespace pcn::gui {

class CStdProperties;
struct EditingContext;

class CStdPropertyPage0 : public CPropertyPage {
    Q_OBJECT
public:
    explicit CStdPropertyPage0(CStdProperties& sheet);

    void OnInitDialog() override;
    bool OnApply() override;

private:
    EditingContext& context_;
    QCheckBox* reloadWorkspace_ = nullptr;
    QCheckBox* displayDateTime_ = nullptr;
};

}  // namespace pcn::gui
