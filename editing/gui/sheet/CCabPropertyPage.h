#pragma once
// A tab of the cabinet package property sheet. A tab's window (and its
// OnInitDialog) exists only once the user has opened it; tabs never opened
// take no part in Apply and OK. Edits mark a tab modified, which enables Apply.

#include <QWidget>

#include <initializer_list>

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class CCabPropertySheet;
struct EditingContext;

class CCabPropertyPage : public QWidget {
    Q_OBJECT
public:
    CCabPropertyPage(CCabPropertySheet& sheet, const QString& caption);

    CCabPropertySheet& sheet() const { return sheet_; }
    CCabObj& package() const;
    EditingContext& context() const;
    const QString& caption() const { return caption_; }

    // Once, the first time the tab is shown: build the controls, load the copy.
    virtual void OnInitDialog() {}
    // Every time the tab becomes the current one.
    virtual void OnSetActive() {}
    // Leaving the tab (also before Apply and OK on the current tab): false keeps it.
    virtual bool OnKillActive() { return true; }
    // Apply and OK: store into the copy; false refuses Apply (the sheet shows this tab).
    virtual bool OnApply() { return true; }

    void SetModified(bool modified = true);
    bool isModified() const { return modified_; }
    bool isCreated() const { return created_; }

    // Runs OnInitDialog the first time, then OnSetActive.
    void activate();

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
    QString caption_;
    bool created_ = false;
    bool modified_ = false;
    bool loading_ = false;
};

}  // namespace pcn::gui
