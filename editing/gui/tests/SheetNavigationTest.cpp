// The sheet's own mechanics, on pages of the test's own: Next stores and may
// refuse, Back and jumps never store, the pages pick the targets, the button
// states follow the flags and a page can veto Cancel.
#include <QPushButton>

#include "editing/gui/tests/EditingTestSupport.h"
#include "editing/gui/wizard/CCabWizPage.h"
#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn::test {
namespace {

using gui::CCabWizPage;
using gui::CCabWizSheet;

constexpr int kFirst = 100, kSecond = 101, kThird = 102;

class CountingPage : public CCabWizPage {
public:
    CountingPage(CCabWizSheet& sheet, int back = -1) : CCabWizPage(sheet, "Counting"), back_(back) {}
    void OnInitDialog() override { ++inits; }
    void OnSetActive() override { ++activations; }
    bool OnWizardNext() override {
        ++stores;
        return acceptNext;
    }
    bool OnQueryCancel() override { return allowCancel; }
    int backPageId() const override { return back_ >= 0 ? back_ : CCabWizPage::backPageId(); }

    int inits = 0, activations = 0, stores = 0;
    bool acceptNext = true, allowCancel = true;

private:
    int back_;
};

class SheetNavigationTest : public EditingTest {
protected:
    SheetNavigationTest() : sheet(package, context()) {
        first = new CountingPage(sheet);
        second = new CountingPage(sheet);
        third = new CountingPage(sheet, kFirst);
        sheet.addCabPage(kFirst, first);
        sheet.addCabPage(kSecond, second);
        sheet.addCabPage(kThird, third);
        sheet.setStartId(kFirst);
        sheet.show();
    }
    CCabObj package;
    CCabWizSheet sheet;
    CountingPage* first;
    CountingPage* second;
    CountingPage* third;
};

TEST_F(SheetNavigationTest, NextStoresAndMayRefuseBackNeverStores) {
    ASSERT_EQ(sheet.currentId(), kFirst);
    EXPECT_EQ(first->inits, 1);
    sheet.setWizardButtons(CCabWizSheet::kWizNext);
    first->acceptNext = false;
    sheet.nextButton()->click();
    EXPECT_EQ(sheet.currentId(), kFirst);
    EXPECT_EQ(first->stores, 1);

    first->acceptNext = true;
    sheet.nextButton()->click();
    sheet.setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext);
    sheet.nextButton()->click();
    ASSERT_EQ(sheet.currentId(), kThird);

    // The third page's Back leads to the first page, past the second.
    sheet.backButton()->click();
    EXPECT_EQ(sheet.currentId(), kFirst);
    EXPECT_EQ(third->stores, 0);
    EXPECT_EQ(first->inits, 1);
    EXPECT_EQ(first->activations, 2);

    sheet.goToPage(kThird);
    EXPECT_EQ(sheet.currentId(), kThird);
    EXPECT_EQ(first->stores, 2);
    EXPECT_EQ(third->inits, 1);
    EXPECT_EQ(third->activations, 2);
}

TEST_F(SheetNavigationTest, FinishTakesNextsPlaceAndFlagsSetEnabling) {
    sheet.setWizardButtons(CCabWizSheet::kWizNext);
    EXPECT_FALSE(sheet.backButton()->isEnabled());
    EXPECT_TRUE(sheet.nextButton()->isVisible());
    EXPECT_FALSE(sheet.finishButton()->isVisible());

    sheet.setWizardButtons(0);
    EXPECT_FALSE(sheet.nextButton()->isEnabled());

    sheet.setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizFinish);
    EXPECT_TRUE(sheet.backButton()->isEnabled());
    EXPECT_FALSE(sheet.nextButton()->isVisible());
    EXPECT_TRUE(sheet.finishButton()->isVisible());
    EXPECT_TRUE(sheet.finishButton()->isEnabled());

    sheet.setWizardButtons(CCabWizSheet::kWizDisabledFinish);
    EXPECT_TRUE(sheet.finishButton()->isVisible());
    EXPECT_FALSE(sheet.finishButton()->isEnabled());
}

TEST_F(SheetNavigationTest, PageCanVetoCancelAndFinishCloses) {
    first->allowCancel = false;
    sheet.cancelButton()->click();
    EXPECT_TRUE(sheet.isVisible());
    first->allowCancel = true;
    sheet.cancelButton()->click();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.result(), QDialog::Rejected);

    sheet.show();
    sheet.setWizardButtons(CCabWizSheet::kWizFinish);
    sheet.finishButton()->click();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace pcn::test
