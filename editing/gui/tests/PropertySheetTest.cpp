// The property sheet's own mechanics on tabs of the test's own: only the
// start tab is created, a tab may refuse to be left, Apply and OK store the
// opened tabs only and stop at the first refusal, modified marks drive Apply.
#include <QPushButton>
#include <QTabWidget>

#include "editing/gui/sheet/CCabPropertyPage.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "editing/gui/tests/EditingTestSupport.h"

namespace pcn::test {
namespace {

using gui::CCabPropertyPage;
using gui::CCabPropertySheet;

class CountingTab : public CCabPropertyPage {
public:
    CountingTab(CCabPropertySheet& sheet, const QString& caption) : CCabPropertyPage(sheet, caption) {}
    void OnInitDialog() override { ++inits; }
    void OnSetActive() override { ++activations; }
    bool OnKillActive() override {
        ++leaves;
        return allowLeave;
    }
    bool OnApply() override {
        ++applies;
        return allowApply;
    }
    int inits = 0, activations = 0, leaves = 0, applies = 0;
    bool allowLeave = true, allowApply = true;
};

class PropertySheetTest : public EditingTest {
protected:
    PropertySheetTest() : sheet(package, context()) {
        for (const char* caption : {"One", "Two", "Three"}) {
            tabs.push_back(new CountingTab(sheet, caption));
            sheet.addPage(tabs.back());
        }
    }
    CCabObj package;
    CCabPropertySheet sheet;
    std::vector<CountingTab*> tabs;
};

TEST_F(PropertySheetTest, OnlyTheStartTabIsCreatedAndARefusingTabIsKept) {
    ASSERT_TRUE(sheet.setActivePage(1));
    sheet.show();
    EXPECT_EQ(tabs[0]->inits, 0);
    EXPECT_EQ(tabs[1]->inits, 1);
    EXPECT_EQ(sheet.tabs()->currentIndex(), 1);

    tabs[1]->allowLeave = false;
    sheet.tabs()->setCurrentIndex(2);
    EXPECT_EQ(sheet.tabs()->currentIndex(), 1);
    EXPECT_EQ(tabs[2]->inits, 0);

    tabs[1]->allowLeave = true;
    sheet.tabs()->setCurrentIndex(2);
    EXPECT_EQ(sheet.currentPage(), tabs[2]);
    EXPECT_EQ(tabs[2]->inits, 1);
    sheet.tabs()->setCurrentIndex(1);
    EXPECT_EQ(tabs[1]->inits, 1);
    EXPECT_EQ(tabs[1]->activations, 2);
}

TEST_F(PropertySheetTest, ApplyStoresOpenedTabsAndStopsAtARefusal) {
    sheet.show();
    sheet.setActivePage(2);
    EXPECT_FALSE(sheet.applyButton()->isEnabled());
    tabs[0]->SetModified();
    EXPECT_TRUE(sheet.applyButton()->isEnabled());

    tabs[0]->allowApply = false;
    EXPECT_FALSE(sheet.apply());
    EXPECT_EQ(sheet.currentPage(), tabs[0]);
    EXPECT_EQ(tabs[1]->applies, 0);  // never opened
    EXPECT_EQ(tabs[2]->applies, 0);  // after the refusal
    EXPECT_TRUE(sheet.applyButton()->isEnabled());

    tabs[0]->allowApply = true;
    EXPECT_TRUE(sheet.apply());
    EXPECT_EQ(tabs[2]->applies, 1);
    EXPECT_FALSE(sheet.applyButton()->isEnabled());
}

TEST_F(PropertySheetTest, OkKeepsTheSheetWhenTheCurrentTabRefuses) {
    sheet.show();
    tabs[0]->allowLeave = false;
    sheet.okButton()->click();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(tabs[0]->applies, 0);
    tabs[0]->allowLeave = true;
    sheet.okButton()->click();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(tabs[0]->applies, 1);
}

}  // namespace
}  // namespace pcn::test
