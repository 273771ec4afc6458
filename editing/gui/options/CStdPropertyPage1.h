#pragma once
// Options, Animation tab: what the build pages show while a build runs.

#include "editing/gui/PropertySheet.h"

class QRadioButton;

namespace pcn::gui {

class CStdProperties;
struct EditingContext;

class CStdPropertyPage1 : public CPropertyPage {
    Q_OBJECT
public:
    // The stored values of the choices.
    enum Animation { kCustomAnimation = 0, kFlyingFolders = 1, kNoAnimation = 2 };

    explicit CStdPropertyPage1(CStdProperties& sheet);

    void OnInitDialog() override;
    bool OnApply() override;

private:
    EditingContext& context_;
    QRadioButton* custom_ = nullptr;
    QRadioButton* flyingFolders_ = nullptr;
    QRadioButton* none_ = nullptr;
};

}  // namespace pcn::gui
