#pragma once
// A tab of the cabinet package property sheet. A tab's window (and its
// OnInitDialog) exists only once the user has opened it; tabs never opened
// take no part in Apply and OK. Edits mark a tab modified, which enables Apply.

#include "editing/gui/PropertySheet.h"

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class CCabPropertySheet;
struct EditingContext;

class CCabPropertyPage : public CPropertyPage {
    Q_OBJECT
public:
    CCabPropertyPage(CCabPropertySheet& sheet, const QString& caption);

    CCabPropertySheet& sheet() const { return sheet_; }
    CCabObj& package() const;
    EditingContext& context() const;

private:
    CCabPropertySheet& sheet_;
};

}  // namespace pcn::gui
