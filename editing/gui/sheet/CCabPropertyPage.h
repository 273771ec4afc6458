#pragma once
// A tab of the cabinet package property sheet. A tab's window (and its
// OnInitDialog) exists only once the user has opened it; tabs never opened
// take no part in Apply and OK. Edits mark a tab modified, which enables Apply.

#include <QWidget>

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

private:
    CCabPropertySheet& sheet_;
    QString caption_;
    bool created_ = false;
    bool modified_ = false;
};

}  // namespace pcn::gui
