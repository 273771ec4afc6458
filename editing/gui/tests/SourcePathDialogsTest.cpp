// The Files tab's two dialogs: Change Source Path always answers a folder
// with one separator at its end; Re-Scan Source Files lists the files that
// are gone, in table order, or says all is well and closes.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "editing/gui/sheet/CChangeSourcePathDlg.h"
#include "editing/gui/sheet/CReScanSourceFilesDlg.h"
#include "editing/gui/tests/EditingTestSupport.h"

namespace pcn::test {
namespace {

using gui::CChangeSourcePathDlg;
using gui::CReScanSourceFilesDlg;

using ChangeSourcePathTest = EditingTest;

TEST_F(ChangeSourcePathTest, OkLeavesExactlyOneSeparatorAtTheEnd) {
    for (auto [typed, expected] : {std::pair{"/new", "/new/"}, {"/new/", "/new/"}, {"/new///", "/new/"}}) {
        CChangeSourcePathDlg dialog("/old/", pickers);
        dialog.pathEdit()->setText(typed);
        dialog.okButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << typed;
        EXPECT_EQ(dialog.path(), expected) << typed;
    }
}

TEST_F(ChangeSourcePathTest, AnEmptyFolderCannotBeAccepted) {
    CChangeSourcePathDlg dialog("/old/", pickers);
    dialog.pathEdit()->clear();
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.path(), "/old/");
}

TEST_F(ChangeSourcePathTest, BrowseStartsAtTheTypedFolderAndEndsTheChoiceWithASeparator) {
    CChangeSourcePathDlg dialog("/old/", pickers);
    pickers.queue("/picked/folder");
    dialog.browseButton()->click();
    ASSERT_EQ(pickers.calls.size(), 1u);
    EXPECT_EQ(pickers.calls[0].kind, "folder");
    EXPECT_EQ(pickers.calls[0].path, "/old/");
    EXPECT_EQ(dialog.pathEdit()->text(), "/picked/folder/");

    dialog.browseButton()->click();  // cancelled
    EXPECT_EQ(dialog.pathEdit()->text(), "/picked/folder/");
}

class ReScanSourceFilesTest : public EditingTest {
protected:
    void addFiles(std::initializer_list<std::string> paths) {
        for (const std::string& path : paths) package.AddFile(path);
    }
    CCabObj package;
};

TEST_F(ReScanSourceFilesTest, ListsTheMissingFilesInTableOrderAndWaitsForOk) {
    const std::string present = makeFile("src/present.dll");
    const std::string gone1 = (root() / "src/gone.exe").string();
    const std::string gone2 = (root() / "elsewhere/also-gone.txt").string();
    addFiles({gone1, present, gone2});

    CReScanSourceFilesDlg dialog(package, ui);
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isChecked(); }, 5000));
    EXPECT_EQ(dialog.missingFiles(), (QStringList{QString::fromStdString(gone1), QString::fromStdString(gone2)}));
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(package.GetFileCount(), 3);
    EXPECT_EQ(dialog.missingList()->headerItem()->text(0), "Missing File(s) List");
}

TEST_F(ReScanSourceFilesTest, SaysAllIsWellAndClosesWhenNothingIsMissing) {
    addFiles({makeFile("a.dll"), makeFile("sub/b.exe")});
    CReScanSourceFilesDlg dialog(package, ui);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 5000));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.missingFiles().isEmpty());
    EXPECT_TRUE(ui.sawText("File(s) checked out OK"));
}

}  // namespace
}  // namespace pcn::test
