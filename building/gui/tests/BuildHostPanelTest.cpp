// The build hosts' shared panel and the Re-Build Project dialog on real
// builds: what the controls show, the pictures each "Animation" value plays,
// questions asked on the UI thread, and closing while the worker runs.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include "building/BuildDriver.h"
#include "building/gui/BuildHostPanel.h"
#include "building/gui/CRebuildProjectDlg.h"
#include "building/gui/tests/BuildGuiTestSupport.h"
#include "distribution/ScriptedUserInterface.h"
#include "platform/SettingsStore.h"

namespace pcn::test {
namespace {

namespace fs = std::filesystem;
using gui::BuildAnimationMode;
using gui::BuildHostPanel;
using gui::CRebuildProjectDlg;

// Scripted answers that also note whether each call came on the UI thread.
class ThreadNotingUi : public ScriptedUserInterface {
public:
    Answer message(std::string_view text, std::string_view caption, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override {
        onUiThread = onUiThread && QThread::currentThread() == qApp->thread();
        return ScriptedUserInterface::message(text, caption, icon, buttons, defaultAnswer);
    }
    bool onUiThread = true;
};

class BuildHostTest : public ::testing::Test {
protected:
    BuildHostTest() : settings(folder.path() / "settings.conf") {}

    QString text(QWidget& host, const char* name) const { return host.findChild<QLabel*>(name)->text(); }
    void makeLargePackage(CCabObj& package) { test::makeLargePackage(package, folder.path()); }
    static bool waitUntilCompressing(QWidget& host) {
        return QTest::qWaitFor([&] { return host.findChild<QLabel*>("processedBytes")->text() != "0"; },
                               kBuildTimeoutMs);
    }

    TempFolder folder;
    SettingsStore settings;
    ThreadNotingUi ui;
};

TEST_F(BuildHostTest, RebuildDialogBuildsTheListedPackageAndShowsGroupedCounts) {
    CCabObj package;
    makeCabinetPackage(package, folder.path(), "Tools");
    addSourceFile(package, "readme.txt", std::string(150000, 'r'));
    addSourceFile(package, "bin/tool.dat", std::string(60000, 't'));
    package.m_bNewPackage = 1;
    package.m_bRebuild = 1;

    CRebuildProjectDlg dialog(package, ui, settings);
    EXPECT_EQ(dialog.windowTitle(), "Re-Build Project");
    QSignalSpy ended(dialog.panel(), &BuildHostPanel::buildEnded);
    dialog.show();
    ASSERT_TRUE(ended.wait(kBuildTimeoutMs));
    EXPECT_TRUE(ended.front().front().toBool());
    EXPECT_TRUE(dialog.succeeded());

    // The outcome is in the listed record, for the view to save.
    EXPECT_EQ(package.m_bRebuild, 0);
    EXPECT_EQ(package.m_bNewPackage, 0);
    EXPECT_NE(package.m_timeBuilt, 0);
    ASSERT_EQ(package.m_arrOutputFiles, std::vector<std::string>{"Tools.CAB"});
    std::string why;
    EXPECT_TRUE(cabextractAccepts(folder.path() / "out" / "Tools" / "Tools.CAB", &why)) << why;

    EXPECT_EQ(text(dialog, "processedBytes"), "210,000");
    QString compressed = text(dialog, "compressedBytes");
    EXPECT_FALSE(compressed.isEmpty());
    EXPECT_LT(compressed.remove(',').toULongLong(), 210000u);
    EXPECT_TRUE(text(dialog, "compressionSaving").endsWith('%'));
    EXPECT_GT(text(dialog, "compressionSaving").chopped(1).toInt(), 90);
    EXPECT_EQ(text(dialog, "percentText"), "100%");
    EXPECT_EQ(dialog.findChild<QProgressBar*>("progressBar")->value(), 100);
    EXPECT_EQ(text(dialog, "stepText"), kBuildComplete);
    EXPECT_EQ(text(dialog, "phaseText"), " ");
    EXPECT_EQ(dialog.cancelButton()->text(), "Close");
    EXPECT_FALSE(dialog.panel()->pictures()->isRunning());

    // Enter closes the finished build.
    EXPECT_TRUE(dialog.cancelButton()->isDefault());
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(BuildHostTest, ControlsStartFromTheirInitialTexts) {
    BuildHostPanel panel(ui, settings);
    EXPECT_EQ(panel.findChild<QWidget*>("processGroup")->property("title").toString(), "Process Information");
    EXPECT_EQ(text(panel, "percentText"), "0 %");
    EXPECT_EQ(text(panel, "processedBytes"), "0");
    EXPECT_EQ(text(panel, "stepText"), "Adding:");
    EXPECT_EQ(text(panel, "phaseText"), "Building...");
    EXPECT_FALSE(panel.isBuilding());
}

// The missing-file question comes from the worker; it is asked on the UI
// thread, and No ends the build as failed.
TEST_F(BuildHostTest, BuildQuestionsAreAskedOnTheUiThread) {
    CCabObj package;
    makeCabinetPackage(package, folder.path(), "Gone");
    addSourceFile(package, "here.txt", "here");
    package.AddFile((folder.path() / "src-Gone" / "missing.txt").string());
    ui.queueAnswer(Answer::No);

    BuildHostPanel panel(ui, settings);
    QSignalSpy ended(&panel, &BuildHostPanel::buildEnded);
    ASSERT_TRUE(panel.startBuild(package));
    ASSERT_TRUE(ended.wait(kBuildTimeoutMs));
    EXPECT_FALSE(ended.front().front().toBool());
    EXPECT_TRUE(ui.sawText(kMissingSourceFiles));
    EXPECT_TRUE(ui.onUiThread);
    EXPECT_EQ(text(panel, "stepText"), kBuildFailed);
    EXPECT_EQ(package.m_bRebuild, 1);
    EXPECT_FALSE(fs::exists(folder.path() / "out" / "Gone" / "Gone.CAB"));
}

TEST_F(BuildHostTest, EachAnimationSettingPlaysItsPictures) {
    for (int setting : {0, 1, 2}) {
        SCOPED_TRACE(setting);
        settings.writeInt("Settings", "Animation", setting);
        CCabObj package;
        makeLargePackage(package);
        BuildHostPanel panel(ui, settings);
        panel.show();
        ASSERT_TRUE(panel.startBuild(package));
        auto* pictures = panel.pictures();
        auto* movie = panel.movie();
        switch (setting) {
            case 0:
                EXPECT_EQ(panel.animationMode(), BuildAnimationMode::Custom);
                EXPECT_TRUE(pictures->isVisible());
                EXPECT_FALSE(movie->isVisible());
                EXPECT_TRUE(QTest::qWaitFor([&] { return pictures->steps() >= 3; }, 5000));
                break;
            case 1:
                EXPECT_EQ(panel.animationMode(), BuildAnimationMode::Movie);
                EXPECT_FALSE(pictures->isVisible());
                EXPECT_TRUE(movie->isVisible());
                EXPECT_TRUE(QTest::qWaitFor([&] { return movie->frameIndex() >= 2; }, 5000));
                break;
            default:
                EXPECT_EQ(panel.animationMode(), BuildAnimationMode::None);
                EXPECT_FALSE(movie->isVisible());
                QTest::qWait(300);
                EXPECT_FALSE(pictures->isRunning());
                EXPECT_EQ(pictures->steps(), 0);
                break;
        }
        EXPECT_TRUE(panel.isBuilding());
        panel.endBuildBeforeClosing();
        EXPECT_FALSE(panel.isBuilding());
        EXPECT_FALSE(pictures->isRunning());
        EXPECT_FALSE(movie->isRunning());
        EXPECT_EQ(package.m_bRebuild, 1);
    }
}

TEST(BuildAnimationPictures, FollowTheTwoPhasesAndStartAgain) {
    gui::BuildAnimationPictures pictures;
    using Phase = gui::BuildAnimationPictures::Phase;
    EXPECT_EQ(pictures.phase(), Phase::Stopped);
    pictures.start();
    EXPECT_EQ(pictures.phase(), Phase::PageToPress);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pictures.phase() == Phase::Pressing; }, 20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pictures.phase() == Phase::CabinetToTarget; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pictures.phase() == Phase::PageToPress; }, 20000));
    pictures.stop();
    EXPECT_EQ(pictures.phase(), Phase::Stopped);
}

// Closing the dialog while its worker runs stops the build before the window
// goes: no report reaches a closed window, the package needs a rebuild, and
// the build's failure message is not shown for a build the user left.
// Cancel stops the build and the dialog stays to say how it ended; Close
// then closes it.
TEST_F(BuildHostTest, RebuildDialogCancelledWhileBuildingStopsTheWorkerAndSaysSo) {
    CCabObj package;
    makeLargePackage(package);
    package.m_bRebuild = 0;
    auto* dialog = new CRebuildProjectDlg(package, ui, settings);
    dialog->show();
    ASSERT_TRUE(waitUntilCompressing(*dialog));
    ASSERT_TRUE(dialog->panel()->isBuilding());

    dialog->cancelButton()->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->cancelButton()->text(), "Close");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->panel()->isBuilding(); }, 30000));
    EXPECT_EQ(dialog->panel()->findChild<QLabel*>("stepText")->text(), gui::kBuildCancelled);
    dialog->cancelButton()->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(package.m_bRebuild, 1);
    EXPECT_TRUE(package.m_arrOutputFiles.empty());
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_FALSE(fs::exists(folder.path() / "out" / "Large" / "Large.CAB"));
    delete dialog;
    QTest::qWait(50);  // nothing queued may still reach the deleted window
}

TEST_F(BuildHostTest, RebuildDialogDestroyedWhileBuildingWaitsForTheWorker) {
    CCabObj package;
    makeLargePackage(package);
    package.m_bRebuild = 0;
    {
        CRebuildProjectDlg dialog(package, ui, settings);
        dialog.show();
        ASSERT_TRUE(waitUntilCompressing(dialog));
    }
    EXPECT_EQ(package.m_bRebuild, 1);
    // The next build can start: the first one has really ended.
    BuildHostPanel panel(ui, settings);
    QSignalSpy ended(&panel, &BuildHostPanel::buildEnded);
    CCabObj small;
    makeCabinetPackage(small, folder.path(), "Next");
    addSourceFile(small, "a.txt", "abc");
    ASSERT_TRUE(panel.startBuild(small));
    ASSERT_TRUE(ended.wait(kBuildTimeoutMs));
    EXPECT_TRUE(ended.front().front().toBool());
}

TEST_F(BuildHostTest, OnlyOneBuildRunsAtATime) {
    CCabObj large;
    makeLargePackage(large);
    BuildHostPanel first(ui, settings);
    ASSERT_TRUE(first.startBuild(large));

    CCabObj small;
    makeCabinetPackage(small, folder.path(), "Second");
    addSourceFile(small, "a.txt", "abc");
    BuildHostPanel second(ui, settings);
    QSignalSpy ended(&second, &BuildHostPanel::buildEnded);
    EXPECT_FALSE(second.startBuild(small));
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_FALSE(ended.front().front().toBool());
    EXPECT_EQ(text(second, "stepText"), kBuildFailed);
    first.endBuildBeforeClosing();
}

}  // namespace
}  // namespace pcn::test
