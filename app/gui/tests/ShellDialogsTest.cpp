// The shell's own dialogs as the program wires them: the missing-file
// repair during a project load, the options command, export and printing.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

#include "app/core/CPCNDoc.h"
#include "app/gui/CMainFrame.h"
#include "app/gui/CMissingPackageFilesDlg.h"
#include "app/gui/tests/GuiTestSupport.h"
#include "editing/gui/options/CStdProperties.h"
#include "signing/gui/CCheckTrustSheet.h"
#include "signing/gui/CSignCodePropertySheet.h"

namespace pcn::test {
namespace {

class ShellDialogsTest : public GuiTest {
protected:
    // A project of one existing and one missing package, the last project used.
    void projectWithAMissingPackage() {
        existing = writePackage(kKindCabinet, "Alpha");
        moved = writePackage(kKindCabinet, "Beta");
        missingPath = dataDir() + "gone/Beta.pcp";
        settings().writeString("Recent File List", "File1", writeProject("Work.pcn", {existing, missingPath}));
    }
    std::string existing, moved, missingPath;
};

}  // namespace

TEST_F(ShellDialogsTest, ProjectLoadOffersMissingPackagesAndCancelDropsThem) {
    projectWithAMissingPackage();
    bool shown = false;
    whenModal<gui::CMissingPackageFilesDlg>([&](gui::CMissingPackageFilesDlg& dialog) {
        shown = true;
        ASSERT_EQ(dialog.list()->topLevelItemCount(), 1);
        EXPECT_EQ(dialog.list()->topLevelItem(0)->text(0).toStdString(), missingPath);
        ui_.queueAnswer(Answer::Yes);
        dialog.findChild<QPushButton*>("cancelButton")->click();
    });
    ASSERT_EQ(start(), -1);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(ui_.sawText(gui::kCancelRemovesFiles));
    EXPECT_EQ(app().doc().m_arrPackageFiles, std::vector<std::string>{existing});
    EXPECT_EQ(app().listView()->topLevelItemCount(), 1);
    EXPECT_TRUE(app().doc().IsModified());
}

TEST_F(ShellDialogsTest, ProjectLoadKeepsACorrectedPathOnOk) {
    projectWithAMissingPackage();
    whenModal<gui::CMissingPackageFilesDlg>([&](gui::CMissingPackageFilesDlg& dialog) {
        dialog.list()->topLevelItem(0)->setSelected(true);
        dialog.applyChange(QString::fromStdString(moved), gui::CChangePackagePathDlg::Mode::None, {});
        dialog.findChild<QPushButton*>("okButton")->click();
    });
    ASSERT_EQ(start(), -1);
    EXPECT_EQ(app().doc().m_arrPackageFiles, (std::vector<std::string>{existing, moved}));
    EXPECT_EQ(app().listView()->topLevelItemCount(), 2);
    EXPECT_TRUE(app().doc().IsModified());
    EXPECT_FALSE(ui_.sawText(kNotAllPackagesLoaded));
}

TEST_F(ShellDialogsTest, OptionsCommandOpensTheOptionsSheet) {
    ASSERT_EQ(start(), -1);
    bool shown = false;
    whenModal<gui::CStdProperties>([&](gui::CStdProperties& sheet) {
        shown = true;
        EXPECT_EQ(sheet.tabCaptions(), QStringList({"General", "Self Extracting Cabinet", "Code Signing", "Animation", "Compression"}));
        sheet.findChild<QWidget*>("reloadWorkspace")->setProperty("checked", false);
        sheet.okButton()->click();
    });
    app().frame()->runCommand(gui::ID_VIEW_OPTIONS);
    EXPECT_TRUE(shown);
    EXPECT_EQ(settings().readInt("Settings\\General", "Reload Workspace", -1), 0);
}

TEST_F(ShellDialogsTest, SignatureCommandsOpenTheirWizards) {
    ASSERT_EQ(start(), -1);
    QString signTitle, checkTitle;
    whenModal<gui::CSignCodePropertySheet>([&](gui::CSignCodePropertySheet& sheet) {
        signTitle = sheet.currentPage()->title();
        sheet.reject();
    });
    app().frame()->runCommand(gui::ID_SIGN_FILE);
    EXPECT_EQ(signTitle, "Code Signing Wizard (1 of 3)");
    whenModal<gui::CCheckTrustSheet>([&](gui::CCheckTrustSheet& sheet) {
        checkTitle = sheet.currentPage()->title();
        sheet.reject();
    });
    app().frame()->runCommand(gui::ID_CHECK_TRUST);
    EXPECT_EQ(checkTitle, "Check Trust (1 of 2)");

    // Without SignCode beside the program the wizard does not open.
    const std::string emptyFolder = dataDir() + "no-tools";
    std::filesystem::create_directories(emptyFolder);
    const char* programFolder = std::getenv("PCN_PROGRAM_DIR");
    const std::string saved = programFolder ? programFolder : "";
    ::setenv("PCN_PROGRAM_DIR", emptyFolder.c_str(), 1);
    app().frame()->runCommand(gui::ID_SIGN_FILE);
    ::setenv("PCN_PROGRAM_DIR", saved.c_str(), 1);
    ASSERT_FALSE(ui_.shown().empty());
    EXPECT_TRUE(ui_.shown().back().isErrorDetails);
    EXPECT_EQ(ui_.shown().back().text, "Unable to load SignCode.exe.");
}

TEST_F(ShellDialogsTest, ExportAndPrintCommandsAreServed) {
    settings().writeString("Recent File List", "File1",
                           writeProject("Work.pcn", {writePackage(kKindCabinet, "Alpha")}));
    ASSERT_EQ(start(), -1);
    gui::CPCNView& list = *app().listView();
    EXPECT_TRUE(list.canRunCommand(gui::ID_FILE_EXPORT));
    EXPECT_TRUE(list.canRunCommand(gui::ID_FILE_PRINT_SETUP));
    EXPECT_FALSE(list.canRunCommand(gui::ID_FILE_PRINT));  // nothing selected
    list.selectPackage(app().doc().m_listPackages.front().get());
    EXPECT_TRUE(list.canRunCommand(gui::ID_FILE_PRINT));
    EXPECT_TRUE(list.canRunCommand(gui::ID_FILE_PRINT_PREVIEW));
}

}  // namespace pcn::test
