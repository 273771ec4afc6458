#pragma once
// A page of the cabinet package wizard. Pages store their fields into the
// package when the user leaves them with Next and decide where Next and Back
// lead from the package's kind and options; the sheet does the moving.

#include <QWizardPage>

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class CCabWizSheet;
struct EditingContext;

class CCabWizPage : public QWizardPage {
    Q_OBJECT
public:
    CCabWizPage(CCabWizSheet& sheet, const QString& caption);

    CCabWizSheet& sheet() const { return sheet_; }
    CCabObj& package() const;
    EditingContext& context() const;

    // Once per wizard run, the first time the page is shown.
    virtual void OnInitDialog() {}
    // Every time the page becomes the current one.
    virtual void OnSetActive() {}
    // Next: store the fields and check them; false keeps the page.
    virtual bool OnWizardNext() { return true; }
    // Back, before the sheet moves to backPageId().
    virtual void OnWizardBack() {}
    // Finish: false keeps the sheet open.
    virtual bool OnWizardFinish() { return true; }
    // Cancel: false keeps the sheet open.
    virtual bool OnQueryCancel() { return true; }
    // Where Next and Back lead from here; the defaults follow the page order.
    virtual int nextPageId() const;
    virtual int backPageId() const;

    int nextId() const final { return nextPageId(); }
    bool validatePage() final;

    // Runs OnInitDialog the first time, then OnSetActive.
    void activate();

private:
    CCabWizSheet& sheet_;
    bool initialised_ = false;
};

}  // namespace pcn::gui
