#pragma once
// "Dependencies" of an existing web package.

#include "editing/gui/sheet/CCabPropertyPage.h"

namespace pcn::gui {

class CWebPropSheet;
class DependenciesForm;

class CWebPropPage2 : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CWebPropPage2(CWebPropSheet& sheet);

    void OnSetActive() override;

    DependenciesForm* form() const { return form_; }

private:
    DependenciesForm* form_;
};

}  // namespace pcn::gui
