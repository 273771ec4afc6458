#pragma once
// "Inf Output" of an existing web package; Apply and OK write its files once the tab has been shown.

#include "editing/gui/sheet/CCabPropertyPage.h"

namespace pcn::gui {

class CWebPropSheet;
class InfOutputForm;

class CWebPropPage4 : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CWebPropPage4(CWebPropSheet& sheet);

    void OnSetActive() override;
    bool OnApply() override;

    InfOutputForm* form() const { return form_; }

private:
    InfOutputForm* form_;
};

}  // namespace pcn::gui
