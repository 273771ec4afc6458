#pragma once
// A tab of the cabinet package property sheet. A tab's OnInitDialog runs
// only once the user has opened it; tabs never opened take no part in Apply
// and OK. Edits mark a tab modified, which enables Apply.

#include "editing/gui/PropertySheet.h"

#include <initializer_list>

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

protected:
    // Changes of these controls mark the tab modified, except while the tab
    // loads them: text edits, check boxes and buttons, combo boxes.
    void markModifiedOnChange(std::initializer_list<QWidget*> controls);
    // Marks the tab modified unless it is loading.
    void noteChange();
    // While one of these lives, changes do not mark the tab modified.
    class Loading {
    public:
        explicit Loading(CCabPropertyPage& page) : page_(page), was_(page.loading_) { page_.loading_ = true; }
        ~Loading() { page_.loading_ = was_; }
        Loading(const Loading&) = delete;
        Loading& operator=(const Loading&) = delete;

    private:
        CCabPropertyPage& page_;
        bool was_;
    };
    bool isLoading() const { return loading_; }

private:
    CCabPropertySheet& sheet_;
    bool loading_ = false;
};

}  // namespace pcn::gui
