// The "Package File Not Found" dialog and its "Change Package File Path"
// dialog, driven as a user would; the modal change dialog is answered from
// a timer while it runs.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

#include "app/gui/CChangePackagePathDlg.h"
#include "app/gui/CMissingPackageFilesDlg.h"
#include "app/gui/PcnImages.h"
#include "editing/gui/tests/EditingTestSupport.h"

namespace pcn::test {
namespace {

using gui::CChangePackagePathDlg;
using gui::CMissingPackageFilesDlg;

// Runs `act` on the change dialog once it is up, then presses its OK.
void answerChangeDialog(std::function<void(CChangePackagePathDlg&)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<CChangePackagePathDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
        dialog->findChild<QPushButton*>("okButton")->click();
    });
}

class MissingPackageFilesTest : public EditingTest {
protected:
    void open(std::vector<std::string> paths) {
        missing = std::move(paths);
        dialog = std::make_unique<CMissingPackageFilesDlg>(missing, settings(), ui, pickers);
        dialog->show();
    }
    QTreeWidget& list() { return *dialog->list(); }
    void select(std::initializer_list<int> rows) {
        list().clearSelection();
        for (int row : rows) list().topLevelItem(row)->setSelected(true);
    }
    QPushButton* button(const char* name) { return dialog->findChild<QPushButton*>(name); }
    QStringList texts() {
        QStringList all;
        for (int i = 0; i < list().topLevelItemCount(); ++i) all << list().topLevelItem(i)->text(0);
        return all;
    }
    bool showsFound(int row) {
        return list().topLevelItem(row)->icon(0).pixmap(16).toImage() ==
               gui::pcnImage(gui::kImageFileFound).pixmap(16).toImage();
    }
    std::string path(const std::string& relative) { return (root() / relative).string(); }

    std::vector<std::string> missing;
    std::unique_ptr<CMissingPackageFilesDlg> dialog;
};

}  // namespace

TEST_F(MissingPackageFilesTest, CancelAsksAndOnlyYesDropsTheFiles) {
    open({path("old/a.pcp"), path("old/b.pcp")});
    EXPECT_EQ(dialog->windowTitle(), "Tarnwick Parcelon (Package File Not Found)");
    EXPECT_EQ(list().headerItem()->text(0), "Package File Not Found List");
    EXPECT_EQ(texts().size(), 2);
    EXPECT_FALSE(button("changeButton")->isEnabled());
    EXPECT_FALSE(button("removeButton")->isEnabled());

    ui.queueAnswer(Answer::No);
    button("cancelButton")->click();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, gui::kCancelRemovesFiles);
    EXPECT_EQ(ui.shown()[0].buttons, Buttons::YesNo);

    ui.queueAnswer(Answer::Yes);
    button("cancelButton")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(MissingPackageFilesTest, OkKeepsTheFoundEntriesOnceTheUserAgrees) {
    const std::string found = makeFile("new/b.pcp");
    open({path("old/a.pcp"), path("old/b.pcp"), path("old/c.pcp")});
    select({1});
    dialog->applyChange(QString::fromStdString(found), CChangePackagePathDlg::Mode::None, {});
    EXPECT_TRUE(showsFound(1));
    EXPECT_FALSE(showsFound(0));

    ui.queueAnswer(Answer::No);
    button("okButton")->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(ui.shown().back().text, gui::kNotAllFilesFound);
    EXPECT_EQ(missing.size(), 3u);

    ui.queueAnswer(Answer::Yes);
    button("okButton")->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(missing, std::vector<std::string>{found});
}

TEST_F(MissingPackageFilesTest, OkWithEveryFileFoundAsksNothing) {
    const std::string a = makeFile("a.pcp");
    open({path("gone/a.pcp")});
    missing[0] = a;  // the file turned up meanwhile
    button("okButton")->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(missing, std::vector<std::string>{a});
}

TEST_F(MissingPackageFilesTest, ChangeOneEntryTakesTheEnteredPath) {
    const std::string moved = makeFile("moved/Tool.pcp");
    open({path("old/Tool.pcp"), path("old/Other.pcp")});
    select({0});
    answerChangeDialog([&](CChangePackagePathDlg& change) {
        EXPECT_EQ(change.windowTitle(), "Change Package File Path");
        EXPECT_EQ(change.findChild<QLabel*>("pathLabel")->text(), "Package File");
        auto* combo = change.findChild<QComboBox*>("path");
        EXPECT_EQ(combo->currentText().toStdString(), path("old/Tool.pcp"));
        for (const char* mode : {"applySelected", "applyAll", "applyEqualPath"})
            EXPECT_FALSE(change.findChild<QRadioButton*>(mode)->isEnabled()) << mode;
        EXPECT_FALSE(change.findChild<QComboBox*>("equalFolder")->isEnabled());
        combo->setEditText(QString::fromStdString(moved));
    });
    button("changeButton")->click();
    EXPECT_EQ(missing[0], moved);
    EXPECT_EQ(missing[1], path("old/Other.pcp"));
    EXPECT_EQ(list().topLevelItem(0)->text(0).toStdString(), moved);
    EXPECT_TRUE(showsFound(0));
    EXPECT_EQ(settings().readString("Settings\\Package Missing Files", "0", ""), moved);
}

TEST_F(MissingPackageFilesTest, ApplyToSelectedMovesOnlyTheSelectedEntries) {
    open({path("x/one.pcp"), path("y/two.pcp"), path("z/three.pcp"), path("w/four.pcp")});
    select({0, 1, 2});
    answerChangeDialog([&](CChangePackagePathDlg& change) {
        EXPECT_EQ(change.findChild<QLabel*>("pathLabel")->text(), "Package Folder");
        EXPECT_TRUE(change.findChild<QRadioButton*>("applySelected")->isChecked());
        auto* combo = change.findChild<QComboBox*>("path");
        EXPECT_EQ(combo->currentText().toStdString(), path("x/"));
        EXPECT_FALSE(change.findChild<QComboBox*>("equalFolder")->isEnabled());
        combo->setEditText("/new");  // the separator is added
    });
    button("changeButton")->click();
    EXPECT_EQ(missing, (std::vector<std::string>{"/new/one.pcp", "/new/two.pcp", "/new/three.pcp", path("w/four.pcp")}));
    EXPECT_EQ(settings().readString("Settings\\Package Missing Folders", "0", ""), "/new/");
}

TEST_F(MissingPackageFilesTest, ApplyToAllMovesEveryEntry) {
    open({path("x/one.pcp"), path("y/two.pcp"), path("z/three.pcp")});
    select({0, 2});
    answerChangeDialog([&](CChangePackagePathDlg& change) {
        change.findChild<QRadioButton*>("applyAll")->click();
        change.findChild<QComboBox*>("path")->setEditText("/new/");
    });
    button("changeButton")->click();
    EXPECT_EQ(missing, (std::vector<std::string>{"/new/one.pcp", "/new/two.pcp", "/new/three.pcp"}));
}

TEST_F(MissingPackageFilesTest, EqualPathRewritesOnlyEntriesThatBeginWithTheFolder) {
    const std::string old = path("Old/");
    open({old + "Sub/a.pcp", path("Else/b.pcp"), path("Else/Old/c.pcp"), old + "d.pcp"});
    select({0, 1});
    answerChangeDialog([&](CChangePackagePathDlg& change) {
        auto* equal = change.findChild<QComboBox*>("equalFolder");
        QStringList folders;
        for (int i = 0; i < equal->count(); ++i) folders << equal->itemText(i);
        EXPECT_EQ(folders, QStringList({QString::fromStdString(old + "Sub/"), QString::fromStdString(path("Else/")),
                                        QString::fromStdString(path("Else/Old/")), QString::fromStdString(old)}));
        change.findChild<QRadioButton*>("applyEqualPath")->click();
        EXPECT_TRUE(equal->isEnabled());
        equal->setCurrentIndex(3);
        change.findChild<QComboBox*>("path")->setEditText("/New/");
    });
    button("changeButton")->click();
    // ".../Else/Old/c.pcp" holds the folder's name further on and stays whole.
    EXPECT_EQ(missing,
              (std::vector<std::string>{"/New/Sub/a.pcp", path("Else/b.pcp"), path("Else/Old/c.pcp"), "/New/d.pcp"}));
}

TEST_F(MissingPackageFilesTest, RemoveDropsTheSelectedEntries) {
    open({"/a/1.pcp", "/a/2.pcp", "/a/3.pcp"});
    select({0, 2});
    EXPECT_TRUE(button("removeButton")->isEnabled());
    button("removeButton")->click();
    EXPECT_EQ(missing, std::vector<std::string>{"/a/2.pcp"});
    EXPECT_EQ(texts(), QStringList{"/a/2.pcp"});
    EXPECT_FALSE(button("removeButton")->isEnabled());
}

TEST_F(MissingPackageFilesTest, HistoryHoldsTheEnteredPathAndTwentyEarlierOnesEachShownOnce) {
    const char* section = "Settings\\Package Missing Folders";
    for (int i = 0; i < 30; ++i)
        settings().writeString(section, std::to_string(i), "/h/" + std::to_string(i % 2 ? i : 0) + "/");
    std::vector<std::string> entries = {"/a/1.pcp", "/b/2.pcp"};
    CChangePackagePathDlg change(entries, 2, "/a/1.pcp", settings(), pickers);
    auto* combo = change.findChild<QComboBox*>("path");
    // 21 values are read ("0".."20"); "/h/0/" repeats and is listed once.
    EXPECT_EQ(combo->count(), 11);
    EXPECT_EQ(combo->itemText(0), "/h/0/");
    EXPECT_EQ(combo->itemText(1), "/h/1/");
    combo->setEditText("/entered");
    change.accept();
    EXPECT_EQ(change.path(), "/entered/");
    EXPECT_EQ(change.mode(), CChangePackagePathDlg::Mode::Selected);
    EXPECT_EQ(settings().readString(section, "0", ""), "/entered/");
    EXPECT_EQ(settings().readString(section, "1", ""), "/h/0/");
    EXPECT_EQ(settings().readString(section, "11", ""), "/h/19/");
    // Nothing after the last value written is read back as history.
    EXPECT_EQ(CChangePackagePathDlg::readHistory(settings(), true).size(), 12);
    EXPECT_FALSE(settings().contains(section, "12"));
    EXPECT_FALSE(settings().contains(section, "20"));
}

TEST_F(MissingPackageFilesTest, BrowseUsesThePackagePickerForOneAndTheFolderPickerForSeveral) {
    std::vector<std::string> entries = {"/a/1.pcp", "/b/2.pcp"};
    CChangePackagePathDlg one(entries, 1, "/a/1.pcp", settings(), pickers);
    pickers.queue("/picked/1.pcp");
    one.findChild<QPushButton*>("browse")->click();
    EXPECT_EQ(one.findChild<QComboBox*>("path")->currentText(), "/picked/1.pcp");
    EXPECT_EQ(pickers.calls.back().kind, "package");

    CChangePackagePathDlg several(entries, 2, "/a/1.pcp", settings(), pickers);
    pickers.queue("/picked/folder");
    several.findChild<QPushButton*>("browse")->click();
    EXPECT_EQ(several.findChild<QComboBox*>("path")->currentText(), "/picked/folder/");
    EXPECT_EQ(pickers.calls.back().kind, "folder");
    EXPECT_EQ(pickers.calls.back().path, "/a/");

    several.findChild<QPushButton*>("browse")->click();  // cancelled: unchanged
    EXPECT_EQ(several.findChild<QComboBox*>("path")->currentText(), "/picked/folder/");
}

}  // namespace pcn::test
