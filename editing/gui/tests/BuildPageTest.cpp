// The wizard's Build page on real builds: the buttons while building and
// after either outcome, Cancel during a long build, Back and "&Close", and a
// sheet that goes away while its build runs.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "building/BuildDriver.h"
#include "building/gui/BuildHostPanel.h"
#include "building/gui/tests/BuildGuiTestSupport.h"
#include "editing/gui/tests/EditingTestSupport.h"
#include "editing/gui/wizard/CCabWizPageBuild.h"
#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn::test {
namespace {

namespace fs = std::filesystem;
using gui::BuildHostPanel;
using gui::CCabWizPageBuild;
using gui::CCabWizSheet;

class BuildPageTest : public EditingTest {
protected:
    void makeSmallPackage(CCabObj& p, const std::string& name) {
        makeCabinetPackage(p, root(), name);
        addSourceFile(p, "readme.txt", std::string(5000, 'r'));
        addSourceFile(p, "bin/app.dat", std::string(3000, 'a'));
    }
    void makeLargePackage(CCabObj& p) { test::makeLargePackage(p, root()); }
    // Opens the sheet straight at the Build page, which starts the build.
    std::unique_ptr<CCabWizSheet> openAtBuildPage(CCabObj& p) {
        auto sheet = std::make_unique<CCabWizSheet>(p, context());
        sheet->setStartId(CCabWizSheet::kBuildPage);
        page = qobject_cast<CCabWizPageBuild*>(sheet->page(CCabWizSheet::kBuildPage));
        ended = std::make_unique<QSignalSpy>(page->panel(), &BuildHostPanel::buildEnded);
        sheet->show();
        return sheet;
    }
    bool waitForEnd() { return !ended->isEmpty() || ended->wait(kBuildTimeoutMs); }
    bool waitUntilCompressing() {
        return QTest::qWaitFor(
            [&] { return page->findChild<QLabel*>("processedBytes")->text() != "0"; }, kBuildTimeoutMs);
    }

    CCabWizPageBuild* page = nullptr;
    std::unique_ptr<QSignalSpy> ended;
};

TEST_F(BuildPageTest, SuccessfulBuildOffersCloseAsFinish) {
    CCabObj package;
    makeSmallPackage(package, "Tools");
    auto sheet = openAtBuildPage(package);
    EXPECT_EQ(page->title(), "Build File(s)");
    // While building: a disabled Finish in Next's place.
    EXPECT_TRUE(sheet->finishButton()->isVisible());
    EXPECT_FALSE(sheet->finishButton()->isEnabled());
    EXPECT_FALSE(sheet->nextButton()->isVisible());
    EXPECT_TRUE(page->panel()->isBuilding());

    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(ended->front().front().toBool());
    EXPECT_EQ(sheet->m_bBuildFailed, 0);
    EXPECT_TRUE(sheet->finishButton()->isEnabled());
    EXPECT_EQ(sheet->finishButton()->text(), "&Close");
    EXPECT_FALSE(sheet->cancelButton()->isEnabled());
    EXPECT_FALSE(sheet->backButton()->isEnabled());
    EXPECT_EQ(page->findChild<QLabel*>("processedBytes")->text(), "8,000");
    std::string why;
    EXPECT_TRUE(cabextractAccepts(root() / "out" / "Tools" / "Tools.CAB", &why)) << why;
    EXPECT_EQ(package.m_bRebuild, 0);

    sheet->finishButton()->click();
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_FALSE(sheet->isVisible());
}

// Cancel while a large file is compressed: the sheet stays, Cancel becomes
// "Close", the build ends as failed; a second Cancel closes the sheet.
TEST_F(BuildPageTest, CancelDuringALongBuildKeepsTheSheetAndFailsTheBuild) {
    CCabObj package;
    makeLargePackage(package);
    auto sheet = openAtBuildPage(package);
    ASSERT_TRUE(waitUntilCompressing());
    ASSERT_TRUE(page->panel()->isBuilding());

    sheet->cancelButton()->click();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->cancelButton()->text(), "Close");
    ASSERT_TRUE(waitForEnd());
    EXPECT_FALSE(ended->front().front().toBool());
    EXPECT_EQ(sheet->m_bBuildFailed, 1);
    EXPECT_TRUE(sheet->backButton()->isEnabled());
    EXPECT_TRUE(sheet->nextButton()->isVisible());
    EXPECT_TRUE(sheet->nextButton()->isEnabled());
    EXPECT_EQ(sheet->nextButton()->text(), "&Close");
    EXPECT_FALSE(sheet->finishButton()->isVisible());
    // The stop the user asked for is said on the page, not as an error.
    EXPECT_FALSE(ui.sawText("Unable to complete package creation.\n\nError [0]"));
    EXPECT_EQ(page->findChild<QLabel*>("stepText")->text(), gui::kBuildCancelled);
    EXPECT_EQ(package.m_bRebuild, 1);
    EXPECT_FALSE(fs::exists(root() / "out" / "Large" / "Large.CAB"));

    sheet->cancelButton()->click();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), QDialog::Rejected);
}

// After a failure Next ("&Close") ends the wizard with Finish, and Back
// leads to the Summary page with Next's own text again.
TEST_F(BuildPageTest, AfterAFailureNextClosesAndBackReturnsToTheSummary) {
    CCabObj package;
    makeSmallPackage(package, "Broken");
    package.AddFile((root() / "src-Broken" / "missing.txt").string());
    ui.queueAnswer(Answer::No);
    {
        auto sheet = openAtBuildPage(package);
        ASSERT_TRUE(waitForEnd());
        EXPECT_EQ(sheet->m_bBuildFailed, 1);
        ASSERT_EQ(sheet->nextButton()->text(), "&Close");
        sheet->nextButton()->click();
        EXPECT_EQ(sheet->result(), QDialog::Accepted);
        EXPECT_FALSE(sheet->isVisible());
    }
    ui.queueAnswer(Answer::No);
    auto sheet = openAtBuildPage(package);
    if (!sheet->page(CCabWizSheet::kSummaryPage))
        sheet->addCabPage(CCabWizSheet::kSummaryPage, new gui::CCabWizPage(*sheet, "Package Summary"));
    ASSERT_TRUE(waitForEnd());
    sheet->backButton()->click();
    EXPECT_EQ(sheet->currentId(), int(CCabWizSheet::kSummaryPage));
    EXPECT_EQ(sheet->nextButton()->text(), "&Next >");
    EXPECT_EQ(sheet->cancelButton()->text(), "Cancel");
}

// A sheet that goes away while its build runs waits for the worker, which
// leaves the package marked for a rebuild and reports nowhere.
TEST_F(BuildPageTest, SheetDestroyedWhileBuildingEndsTheBuildFirst) {
    CCabObj package;
    makeLargePackage(package);
    package.m_bRebuild = 0;
    auto sheet = openAtBuildPage(package);
    ASSERT_TRUE(waitUntilCompressing());
    ended.reset();
    sheet.reset();
    EXPECT_EQ(package.m_bRebuild, 1);
    EXPECT_TRUE(ui.shown().empty());
    QTest::qWait(50);
}

}  // namespace
}  // namespace pcn::test
