#pragma once
// "Package Properties": the tabs of an existing cabinet-type package, chosen
// from its kind flags when the sheet is built and fixed from then on. The
// sheet edits a working copy; OK and Apply run the store steps of the tabs
// that were opened, and the caller copies the working copy back on OK.

#include <QDialog>
#include <vector>

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class CCabPropertyPage;
struct EditingContext;

class CCabPropertySheet : public QDialog {
    Q_OBJECT
public:
    // An empty sheet; AddCabPropertyPages gives it the tabs of the copy's kind.
    CCabPropertySheet(CCabObj& copy, EditingContext& context, QWidget* parent = nullptr);

    CCabObj& package() const { return package_; }
    EditingContext& context() const { return context_; }

    // Adds a tab (the sheet takes ownership); tabs appear in the order added.
    void addPage(CCabPropertyPage* page);
    int pageCount() const { return int(pages_.size()); }
    CCabPropertyPage* page(int index) const { return pages_.at(size_t(index)); }
    CCabPropertyPage* currentPage() const;
    // The first tab of the given class, or nullptr.
    template <class Page>
    Page* findPage() const {
        for (CCabPropertyPage* p : pages_)
            if (auto* found = qobject_cast<Page*>(p)) return found;
        return nullptr;
    }
    // Shows a tab; false when the current tab refuses to be left.
    bool setActivePage(int index);
    bool setActivePage(CCabPropertyPage* page);
    QStringList tabCaptions() const;

    QTabWidget* tabs() const { return tabs_; }
    QPushButton* okButton() const;
    QPushButton* cancelButton() const;
    QPushButton* applyButton() const;

    // Apply: the current tab's leave step, then the store step of every
    // opened tab; false (and the refusing tab shown) when one refuses.
    bool apply();
    void updateApplyButton();

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void onTabChanged(int index);

    CCabObj& package_;
    EditingContext& context_;
    QTabWidget* tabs_;
    QDialogButtonBox* buttons_;
    std::vector<CCabPropertyPage*> pages_;
    int current_ = -1;
    bool switching_ = false;
};

// Runs the sheet modally on a working copy, starting at the given tab
// (0-based; out of range opens the first). True for OK.
bool RunCabinetPropertySheet(CCabObj& copy, int startPage, EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
