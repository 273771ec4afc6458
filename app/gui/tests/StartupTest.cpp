#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/core/CPCNDoc.h"
#include "app/gui/CMainFrame.h"
#include "app/gui/CPCNView.h"
#include "app/gui/SingleInstanceGuard.h"
#include "app/gui/tests/GuiTestSupport.h"
#include "platform/AtomicFile.h"

namespace pcn::test {

using StartupTest = GuiTest;

TEST_F(StartupTest, FirstStartCreatesAndOpensTheEmptyDefaultProject) {
    ASSERT_EQ(start(), -1);
    const std::string path = dataDir() + "Package List.pcn";
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 12u);
    EXPECT_EQ(app().doc().GetTitle(), "Package List");
    EXPECT_EQ(app().doc().GetPathName(), path);
    EXPECT_FALSE(app().doc().IsModified());
    EXPECT_EQ(app().frame()->windowTitle(), "Package List[*] - Tarnwick Parcelon");
    EXPECT_EQ(app().listView()->topLevelItemCount(), 0);
    EXPECT_EQ(settings().readString("Recent File List", "File1", ""), path);
    EXPECT_TRUE(ui_.shown().empty());
}

TEST_F(StartupTest, ReloadWorkspaceReopensTheLastProject) {
    const std::string project =
        writeProject("Work.pcn", {writePackage(kKindCabinet, "Alpha"), writePackage(kKindWebInf, "Beta")});
    settings().writeString("Recent File List", "File1", project);
    ASSERT_EQ(start(), -1);
    EXPECT_EQ(app().doc().GetPathName(), project);
    EXPECT_EQ(app().listView()->topLevelItemCount(), 2);
    EXPECT_EQ(app().frame()->windowTitle(), "Work[*] - Tarnwick Parcelon");
    EXPECT_FALSE(app().frame()->isWindowModified());
    EXPECT_FALSE(std::filesystem::exists(dataDir() + "Package List.pcn"));
}

TEST_F(StartupTest, TheTitleMarksUnsavedChangesUntilTheProjectIsSaved) {
    ASSERT_EQ(start(), -1);
    EXPECT_FALSE(app().frame()->isWindowModified());
    app().doc().SetModifiedFlag(true);
    EXPECT_TRUE(app().frame()->isWindowModified());
    ASSERT_TRUE(app().saveProject());
    EXPECT_FALSE(app().doc().IsModified());
    EXPECT_FALSE(app().frame()->isWindowModified());
}

TEST_F(StartupTest, ReloadWorkspaceOffStartsANewUnnamedProject) {
    const std::string project = writeProject("Work.pcn", {writePackage(kKindCabinet, "Alpha")});
    settings().writeString("Recent File List", "File1", project);
    settings().writeInt("Settings\\General", "Reload Workspace", 0);
    ASSERT_EQ(start(), -1);
    EXPECT_TRUE(app().doc().GetPathName().empty());
    EXPECT_EQ(app().doc().GetTitle(), "Untitled");
    EXPECT_EQ(app().frame()->windowTitle(), "Untitled[*] - Tarnwick Parcelon");
    EXPECT_EQ(app().listView()->topLevelItemCount(), 0);
    // A new project counts as modified, so that closing it asks to save it.
    EXPECT_TRUE(app().doc().IsModified());
    EXPECT_TRUE(app().frame()->isWindowModified());
}

TEST_F(StartupTest, UnreadableLastProjectFallsBackToANewProject) {
    const std::string project = dataDir() + "Broken.pcn";
    ASSERT_TRUE(writeFileAtomically(project, "not a project").ok);
    settings().writeString("Recent File List", "File1", project);
    ASSERT_EQ(start(), -1);
    EXPECT_TRUE(app().doc().GetPathName().empty());
    // Its first eight bytes are no file version 2.1.
    EXPECT_TRUE(ui_.sawText("Failed to open document."));
}

TEST_F(StartupTest, CommandLineOpensAProjectAndRefusesAPackageFile) {
    const std::string package = writePackage(kKindCabinet, "Alpha");
    const std::string project = writeProject("Given.pcn", {package});
    ASSERT_EQ(start({QString::fromStdString(project)}), -1);
    EXPECT_EQ(app().doc().GetPathName(), project);
    EXPECT_EQ(app().listView()->topLevelItemCount(), 1);

    app_.reset();
    EXPECT_EQ(start({QString::fromStdString(package)}), 1);
    EXPECT_TRUE(ui_.shown().empty());
}

// A stand-in xdg-email, or none at all, on PATH for the mail support check.
void mailProgramOnPath(const std::string& folder, bool present) {
    std::filesystem::create_directories(folder);
    if (present) {
        const std::string script = folder + "/xdg-email";
        std::ofstream(script) << "#!/bin/sh\nexit 0\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    ::setenv("PATH", folder.c_str(), 1);
}

TEST_F(StartupTest, MailItemIsAddedToTheFileMenuOnce) {
    mailProgramOnPath(dataDir() + "bin", true);
    ASSERT_EQ(start(), -1);
    QMenu* file = app().frame()->fileMenu();
    int sends = 0;
    for (QAction* a : file->actions()) sends += a->text() == "Sen&d...";
    EXPECT_EQ(sends, 1);
    // Before the separator that precedes Exit.
    const QList<QAction*> items = file->actions();
    ASSERT_GE(items.size(), 3);
    EXPECT_EQ(items.back()->text(), "E&xit\tCtrl+Q");
    EXPECT_TRUE(items[items.size() - 2]->isSeparator());
    EXPECT_EQ(items[items.size() - 3]->text(), "Sen&d...");
    app().frame()->applyMailMenuRule();
    sends = 0;
    for (QAction* a : file->actions()) sends += a->text() == "Sen&d...";
    EXPECT_EQ(sends, 1);
}

TEST_F(StartupTest, WithoutAMailProgramTheMailCommandLeavesTheMenusWithOneSeparator) {
    mailProgramOnPath(dataDir() + "bin", false);
    ASSERT_EQ(start(), -1);
    for (QAction* a : app().frame()->fileMenu()->actions()) EXPECT_NE(a->text(), "Sen&d...");
    QMenu* project = app().frame()->menuByTitle("&Project");
    ASSERT_NE(project, nullptr);
    bool previousWasSeparator = true;
    for (QAction* a : project->actions()) {
        EXPECT_NE(a->text(), "S&end Project Files (Mail)...");
        EXPECT_FALSE(previousWasSeparator && a->isSeparator());
        previousWasSeparator = a->isSeparator();
    }
}

TEST_F(StartupTest, DocumentTypesAreRecorded) {
    ASSERT_EQ(start(), -1);
    EXPECT_EQ(settings().readString("HKEY_CLASSES_ROOT\\.pcp", "", ""), "PCN.Project");
    EXPECT_EQ(settings().readString("HKEY_CLASSES_ROOT\\.pcn", "", ""), "PCN.Project");
}

// The real program, twice, on one settings profile.
TEST(SingleInstance, SecondStartRaisesTheFirstAndExitsWithOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PCN_SETTINGS", dir.filePath("PCN.conf"));
    env.insert("PCN_DATA_DIR", dir.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const QString program = QString(PCN_PROGRAM_DIR) + "/pcn";

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {});
    ASSERT_TRUE(first.waitForStarted(10000));
    // The first one is up once it has created its default project.
    for (int i = 0; i < 200 && !QFile::exists(dir.filePath("Package List.pcn")); ++i) QThread::msleep(50);
    ASSERT_TRUE(QFile::exists(dir.filePath("Package List.pcn")));

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_EQ(first.state(), QProcess::Running);

    // A termination signal closes the first one like the window manager would;
    // its project is unmodified, so it ends without a question.
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(20000));
    EXPECT_EQ(first.exitCode(), 0);

    // With the first gone, a new start is the first again.
    gui::SingleInstanceGuard guard(gui::SingleInstanceGuard::keyForSettingsFile(dir.filePath("PCN.conf")));
    EXPECT_EQ(guard.acquire(), gui::SingleInstanceGuard::Result::First);
}

TEST(SingleInstance, GuardAnswersOnceTheWindowExists) {
    QTemporaryDir dir;
    const QString key = gui::SingleInstanceGuard::keyForSettingsFile(dir.filePath("x.conf"));
    gui::SingleInstanceGuard first(key);
    ASSERT_EQ(first.acquire(), gui::SingleInstanceGuard::Result::First);
    QWidget window;
    window.show();
    window.showMinimized();
    first.setMainWindow(&window);

    // The second start runs in another thread here; the first answers from this event loop.
    std::atomic<int> result{-1};
    std::thread second([&] {
        gui::SingleInstanceGuard other(key);
        result = static_cast<int>(other.acquire(5000));
    });
    while (result < 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    second.join();
    EXPECT_EQ(result, static_cast<int>(gui::SingleInstanceGuard::Result::OtherRaised));
    EXPECT_FALSE(window.isMinimized());
}

}  // namespace pcn::test

namespace pcn::test {

// Starts the application with the sibling-file check on the given program
// folder and returns what the check reported once it is done.
class SiblingCheckTest : public StartupTest {
protected:
    QString startAndCheck(const std::string& programDir) {
        ::setenv("PCN_PROGRAM_DIR", programDir.c_str(), 1);
        app_ = std::make_unique<gui::CPCNApp>(*settings_, &ui_, &dialogs_);
        gui::CPCNApp::Options options;
        options.singleInstance = false;
        EXPECT_EQ(app_->initInstance({"pcn"}, options), -1);
        QString reported;
        bool done = false;
        QObject::connect(app().listView(), &gui::CPCNView::siblingFileCheckDone, [&](const QString& text) {
            reported = text;
            done = true;
        });
        // The check runs at the lowest priority: give it time on a busy machine.
        QTest::qWaitFor([&] { return done; }, 30000);
        ::setenv("PCN_PROGRAM_DIR", PCN_PROGRAM_DIR, 1);
        EXPECT_TRUE(done);
        return reported;
    }

    // The build's program folder, linked file by file, without the named files.
    std::string programFolderWithout(const std::vector<std::string>& left) {
        const std::string folder = root_ + "program/";
        std::filesystem::create_directories(folder);
        for (const auto& entry : std::filesystem::directory_iterator(PCN_PROGRAM_DIR)) {
            const std::string name = entry.path().filename().string();
            if (std::find(left.begin(), left.end(), name) == left.end())
                std::filesystem::create_symlink(entry.path(), folder + name);
        }
        return folder;
    }
};

TEST_F(SiblingCheckTest, TheBuildsProgramFolderIsComplete) {
    EXPECT_EQ(startAndCheck(PCN_PROGRAM_DIR), "");
    EXPECT_TRUE(ui_.shown().empty());
}

TEST_F(SiblingCheckTest, AMissingStubIsTheOneFileListed) {
    const std::string folder = programFolderWithout({"PilotStub.Exe"});
    EXPECT_FALSE(startAndCheck(folder).isEmpty());
    ASSERT_EQ(ui_.shown().size(), 1u);
    const auto& shown = ui_.shown().back();
    EXPECT_TRUE(shown.isErrorDetails);
    EXPECT_EQ(shown.text, "Some of the dependency file(s) for Tarnwick Parcelon are missing");
    EXPECT_EQ(shown.details, "The system cannot find the file(s) specified.\r\n\r\n" + folder + "PilotStub.Exe\r\n");
}

TEST_F(SiblingCheckTest, AnEmptyProgramFolderListsEveryPiece) {
    const std::string folder = root_ + "empty/";
    std::filesystem::create_directories(folder);
    startAndCheck(folder);
    ASSERT_EQ(ui_.shown().size(), 1u);
    EXPECT_EQ(ui_.shown().back().details, "The system cannot find the file(s) specified.\r\n\r\n" + folder +
                                              "ChkTrust\r\n" + folder + "LDSCNT.so\r\n" + folder + "LDSCE\r\n" +
                                              folder + "LDSC95.so\r\n" + folder + "Extract.Exe\r\n" + folder +
                                              "TinySetup.Exe\r\n" + folder + "SignCode\r\n" + folder +
                                              "PilotStub.Exe\r\n" + folder + "Help/default.htm\r\n");
}

}  // namespace pcn::test
