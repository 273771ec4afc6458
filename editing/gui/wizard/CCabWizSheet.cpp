#include "editing/gui/wizard/CCabWizSheet.h"

#include <QPushButton>

#include "editing/gui/wizard/CCabWizPage.h"
#include "editing/gui/wizard/CabWizPages.h"
#include "editing/gui/wizard/WizardPicture.h"
#include "platform/gui/DialogKeys.h"
#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {

namespace {

constexpr QWizard::WizardButton kBackButton = QWizard::CustomButton1;
constexpr QWizard::WizardButton kNextButton = QWizard::CustomButton2;
constexpr QWizard::WizardButton kFinishButton = QWizard::CustomButton3;

}  // namespace

CCabWizSheet::CCabWizSheet(CCabObj& package, EditingContext& context, QWidget* parent)
    : CCabWizSheet(package, context, parent, WithoutCabinetPages{}) {
    setObjectName("CCabWizSheet");
    setWindowTitle(tr("New Package"));
    setHelpTopic(this, "package_wizard.htm");
    AddCabWizPages(*this);
    // F1 on a page opens that page's part of the help.
    const std::pair<int, const char*> topics[] = {
        {kInformationPage, "package_wizard.htm#information"}, {kTypePage, "package_wizard.htm#type"},
        {kFolderPage, "package_wizard.htm#folder"},           {kFilesPage, "package_wizard.htm#files"},
        {kUserOptionsPage, "package_wizard.htm#user-options"}, {kInstallationPage, "package_wizard.htm#installation"},
        {kMiniSetupPage, "package_wizard.htm#mini-setup"},    {kSignaturePage, "package_wizard.htm#signature"},
        {kInfPage, "package_wizard.htm#inf"},                 {kSummaryPage, "package_wizard.htm#summary"},
        {kBuildPage, "package_wizard.htm#build"},
    };
    setPageTopics(topics);
}

void CCabWizSheet::setPageTopics(std::span<const std::pair<int, const char*>> topics) {
    for (const auto& [pageId, topic] : topics)
        if (QWizardPage* shown = page(pageId)) setHelpTopic(shown, topic);
}

CCabWizSheet::CCabWizSheet(CCabObj& package, EditingContext& context, QWidget* parent, WithoutCabinetPages)
    : QWizard(parent), package_(package), context_(context) {
    setWindowTitle(tr("Wizard"));
    setWizardStyle(QWizard::ClassicStyle);
    setPixmap(QWizard::WatermarkPixmap, WizardPicture());
    setUpButtons();
    connect(this, &QWizard::currentIdChanged, this, [this](int id) {
        if (CCabWizPage* page = cabPage(id)) page->activate();
        applyButtons();
    });
}

void CCabWizSheet::addCabPage(int id, CCabWizPage* page) {
    setPage(id, page);
}

int CCabWizSheet::id(const QWizardPage* page) const {
    for (int pageId : pageIds())
        if (QWizard::page(pageId) == page) return pageId;
    return -1;
}

CCabWizPage* CCabWizSheet::cabPage(int id) const {
    return qobject_cast<CCabWizPage*>(page(id));
}

void CCabWizSheet::setUpButtons() {
    setOption(QWizard::NoDefaultButton, true);
    setOption(QWizard::HaveCustomButton1, true);
    setOption(QWizard::HaveCustomButton2, true);
    setOption(QWizard::HaveCustomButton3, true);
    setButtonText(kBackButton, tr("< &Back"));
    setButtonText(kNextButton, tr("&Next >"));
    setButtonText(kFinishButton, tr("Finish"));
    setButtonText(QWizard::CancelButton, tr("Cancel"));
    setButtonLayout({QWizard::Stretch, kBackButton, kNextButton, kFinishButton, QWizard::CancelButton});
    backButton()->setObjectName("backButton");
    nextButton()->setObjectName("nextButton");
    finishButton()->setObjectName("finishButton");
    cancelButton()->setObjectName("cancelButton");
    markForwardButton(nextButton());
    markForwardButton(finishButton());
    connect(backButton(), &QAbstractButton::clicked, this, &CCabWizSheet::goBack);
    connect(nextButton(), &QAbstractButton::clicked, this, &CCabWizSheet::goNext);
    connect(finishButton(), &QAbstractButton::clicked, this, &CCabWizSheet::pressFinish);
    applyButtons();
}

QPushButton* CCabWizSheet::backButton() const { return qobject_cast<QPushButton*>(button(kBackButton)); }
QPushButton* CCabWizSheet::nextButton() const { return qobject_cast<QPushButton*>(button(kNextButton)); }
QPushButton* CCabWizSheet::finishButton() const { return qobject_cast<QPushButton*>(button(kFinishButton)); }
QPushButton* CCabWizSheet::cancelButton() const {
    return qobject_cast<QPushButton*>(button(QWizard::CancelButton));
}

void CCabWizSheet::setWizardButtons(int buttons) {
    buttons_ = buttons;
    applyButtons();
}

// Next and Finish share one place: Finish (enabled or not) replaces Next.
void CCabWizSheet::applyButtons() {
    const bool finishShown = buttons_ & (kWizFinish | kWizDisabledFinish);
    backButton()->setEnabled(buttons_ & kWizBack);
    nextButton()->setVisible(!finishShown);
    nextButton()->setEnabled(buttons_ & kWizNext);
    finishButton()->setVisible(finishShown);
    finishButton()->setEnabled(buttons_ & kWizFinish);
    QPushButton* preferred = finishShown ? finishButton() : nextButton();
    nextButton()->setDefault(preferred == nextButton());
    finishButton()->setDefault(preferred == finishButton());
}

void CCabWizSheet::goToPage(int id) {
    // A page that is not part of this sheet leaves the user where they are.
    if (id < 0 || !page(id) || id == currentId()) return;
    skippingStore_ = true;
    setCurrentId(id);
    skippingStore_ = false;
}

// The page stores itself and names the next page; QWizard's own next() would
// refuse a page already visited earlier in the run (Back may skip pages).
void CCabWizSheet::goNext() {
    CCabWizPage* page = currentCabPage();
    if (!page || !validateCurrentPage()) return;
    goToPage(page->nextPageId());
}

void CCabWizSheet::goBack() {
    if (CCabWizPage* page = currentCabPage()) {
        page->OnWizardBack();
        goToPage(page->backPageId());
    }
}

void CCabWizSheet::pressFinish() {
    if (CCabWizPage* page = currentCabPage(); page && !page->OnWizardFinish()) return;
    finishWizard();
}

void CCabWizSheet::finishWizard() {
    done(QDialog::Accepted);
}

void CCabWizSheet::reject() {
    if (CCabWizPage* page = currentCabPage(); page && !page->OnQueryCancel()) return;
    QWizard::reject();
}

WizardResult RunCabinetWizard(CCabObj& package, EditingContext& context, QWidget* parent) {
    CCabWizSheet sheet(package, context, parent);
    if (sheet.exec() != QDialog::Accepted) return WizardResult::Cancelled;
    return sheet.m_bBuildFailed ? WizardResult::Finished : WizardResult::FinishedAndBuilt;
}

}  // namespace pcn::gui
