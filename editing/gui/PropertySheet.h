#pragma once
// A tabbed property sheet with OK, Cancel and Apply that behaves like the
// Windows one the package editors were designed around: a tab's OnInitDialog
// runs only once the user has opened it, and tabs never opened take no part
// in Apply and OK; a tab may refuse to be left; edits mark a tab modified,
// which enables Apply; OK is Apply, then close.
// A tab builds its controls when it is constructed and loads them in
// OnInitDialog: the sheet then opens at the size its largest tab needs, with
// every tab's caption in view, and keeps that size from tab to tab.
// The package property sheet and the options sheet are built on it.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

namespace pcn::gui {

class CPropertySheet;

class CPropertyPage : public QWidget {
    Q_OBJECT
public:
    CPropertyPage(CPropertySheet& sheet, const QString& caption);

    CPropertySheet& propertySheet() const { return propertySheet_; }
    const QString& caption() const { return caption_; }

    // Once, the first time the tab is shown: load the values into the controls.
    virtual void OnInitDialog() {}
    // Every time the tab becomes the current one.
    virtual void OnSetActive() {}
    // Leaving the tab (also before Apply and OK on the current tab): false keeps it.
    virtual bool OnKillActive() { return true; }
    // Apply and OK: store the values; false refuses Apply (the sheet shows this tab).
    virtual bool OnApply() { return true; }
    // Cancel: false keeps the sheet open.
    virtual bool OnQueryCancel() { return true; }

    void SetModified(bool modified = true);
    bool isModified() const { return modified_; }
    bool isCreated() const { return created_; }

    // Runs OnInitDialog the first time, then OnSetActive.
    void activate();

private:
    CPropertySheet& propertySheet_;
    QString caption_;
    bool created_ = false;
    bool modified_ = false;
};

class CPropertySheet : public QDialog {
    Q_OBJECT
public:
    CPropertySheet(const QString& caption, QWidget* parent = nullptr);

    // Adds a tab (the sheet takes ownership); tabs appear in the order added.
    void addPage(CPropertyPage* page);
    int pageCount() const { return int(pages_.size()); }
    CPropertyPage* page(int index) const { return pages_.at(size_t(index)); }
    CPropertyPage* currentPage() const;
    // The first tab of the given class, or nullptr.
    template <class Page>
    Page* findPage() const {
        for (CPropertyPage* p : pages_)
            if (auto* found = qobject_cast<Page*>(p)) return found;
        return nullptr;
    }
    // Shows a tab; false when the current tab refuses to be left.
    bool setActivePage(int index);
    bool setActivePage(CPropertyPage* page);
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
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void onTabChanged(int index);

    QTabWidget* tabs_;
    QDialogButtonBox* buttons_;
    std::vector<CPropertyPage*> pages_;
    int current_ = -1;
    bool switching_ = false;
};

}  // namespace pcn::gui
