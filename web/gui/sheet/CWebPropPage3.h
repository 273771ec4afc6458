#pragma once
// "Dependencies OS Types" of an existing web package.

#include "editing/gui/sheet/CCabPropertyPage.h"

namespace pcn::gui {

class CWebPropSheet;
class OsTypesForm;

class CWebPropPage3 : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CWebPropPage3(CWebPropSheet& sheet);

    void OnSetActive() override;

    OsTypesForm* form() const { return form_; }

private:
    OsTypesForm* form_;
};

}  // namespace pcn::gui
