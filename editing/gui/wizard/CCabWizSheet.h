#pragma once
// The cabinet package wizard: eleven pages that define a new cabinet,
// self-extracting cabinet or self-extracting wizard package, write its
// summary document and build it on the last page. The pages decide where Next
// and Back lead; the sheet owns the buttons, whose states the pages set the
// way a wizard property sheet does (Back, Next, Finish, disabled Finish).

#include <QWizard>

#include <span>
#include <utility>

#include "app/gui/PackageEditors.h"

class QPushButton;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class CCabWizPage;
struct EditingContext;

class CCabWizSheet : public QWizard {
    Q_OBJECT
public:
    enum PageId {
        kInformationPage,
        kTypePage,
        kFolderPage,
        kFilesPage,
        kUserOptionsPage,
        kInstallationPage,
        kMiniSetupPage,
        kSignaturePage,
        kInfPage,
        kSummaryPage,
        kBuildPage,
    };
    enum WizardButtons { kWizBack = 1, kWizNext = 2, kWizFinish = 4, kWizDisabledFinish = 8 };

    CCabWizSheet(CCabObj& package, EditingContext& context, QWidget* parent = nullptr);

    CCabObj& package() const { return package_; }
    EditingContext& context() const { return context_; }

    // The id a page was added under, -1 for a page of another sheet.
    int id(const QWizardPage* page) const;
    CCabWizPage* cabPage(int id) const;
    CCabWizPage* currentCabPage() const { return cabPage(currentId()); }

    void setWizardButtons(int buttons);
    int wizardButtons() const { return buttons_; }
    QPushButton* backButton() const;
    QPushButton* nextButton() const;
    QPushButton* finishButton() const;
    QPushButton* cancelButton() const;

    // Moves to a page without storing the current one (Back, and the Summary
    // page's Finish that activates the Build page).
    void goToPage(int id);
    // Closes the sheet with the Finish result.
    void finishWizard();
    // True while the sheet moves without storing the page it leaves.
    bool isSkippingStore() const { return skippingStore_; }

    // Set by the Build page when a build ends: 1 failed, 0 succeeded.
    int m_bBuildFailed = 0;
    // Set when a new source folder was browsed for; the Files page rescans and clears it.
    int m_bRescan = 0;

    // Adds a page under its id (the sheet takes ownership).
    void addCabPage(int id, CCabWizPage* page);
    // The help topic F1 opens on each page, by page id.
    void setPageTopics(std::span<const std::pair<int, const char*>> topics);

public slots:
    void reject() override;

protected:
    // A sheet of other pages on the same wizard machinery (buttons, moves).
    struct WithoutCabinetPages {};
    CCabWizSheet(CCabObj& package, EditingContext& context, QWidget* parent, WithoutCabinetPages);

private:
    void setUpButtons();
    void goNext();
    void goBack();
    void pressFinish();
    void applyButtons();

    CCabObj& package_;
    EditingContext& context_;
    int buttons_ = kWizNext;
    bool skippingStore_ = false;
};

// Runs the wizard modally on a fresh package. Finished results tell whether
// the wizard's own build succeeded.
WizardResult RunCabinetWizard(CCabObj& package, EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
