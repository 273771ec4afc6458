// The Mini Setup page and its Add Shortcut dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "editing/gui/forms/CAddShortcutDialog.h"
#include "editing/gui/tests/WizardPageTestSupport.h"

namespace pcn::test {
namespace {

using gui::CAddShortcutDialog;
using gui::CCabWizSheet;

class MiniSetupPageTest : public WizardPageTest {
protected:
    MiniSetupPageTest() {
        makeWizardKind();
        package.m_bMiniSetup = 1;
        package.m_bSignature = 0;
        package.m_strSourceFolder = "/home/ann/src/";
        package.AddFile("/home/ann/src/bin/app.exe");
        package.AddFile("/opt/tools/helper.exe");
        package.AddFile("/backup/home/ann/src/old.exe");
    }

    // Opens "Add Shortcut" on the package and hands it to fill.
    static void check(QListWidget* files, int row) { files->item(row)->setCheckState(Qt::Checked); }
    static void pressOk(QDialog* dialog) {
        dialog->findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok)->click();
    }
};

TEST_F(MiniSetupPageTest, BoxesEnableTheirFieldsAndTheTypeFollowsEither) {
    openAt(CCabWizSheet::kMiniSetupPage);
    auto* group = control<QCheckBox>("shortcutGroup");
    auto* shortcuts = control<QCheckBox>("shortcuts");
    auto* groupDesc = control<QLineEdit>("groupDesc");
    auto* list = control<QTreeWidget>("shortcutList");
    auto* type = control<QComboBox>("shortcutType");
    ASSERT_TRUE(group && shortcuts && groupDesc && list && type);
    EXPECT_EQ(list->headerItem()->text(0), "Shortcut Description");
    EXPECT_EQ(list->headerItem()->text(1), "Shortcut File");
    for (const char* name : {"groupDesc", "groupDescLabel", "shortcutList", "addShortcut", "removeShortcut",
                             "shortcutType", "shortcutTypeLabel"})
        EXPECT_FALSE(control<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(group->isEnabled());
    EXPECT_TRUE(shortcuts->isEnabled());

    group->click();
    EXPECT_TRUE(groupDesc->isEnabled());
    EXPECT_TRUE(type->isEnabled());
    EXPECT_FALSE(list->isEnabled());
    shortcuts->click();
    EXPECT_TRUE(list->isEnabled());
    EXPECT_TRUE(control<QWidget>("addShortcut")->isEnabled());
    group->click();
    EXPECT_FALSE(groupDesc->isEnabled());
    EXPECT_TRUE(type->isEnabled());
    shortcuts->click();
    EXPECT_FALSE(type->isEnabled());
}

TEST_F(MiniSetupPageTest, ShortcutTypesAreStoredAsShellFolderNumbers) {
    openAt(CCabWizSheet::kMiniSetupPage);
    control<QCheckBox>("shortcuts")->click();
    auto* type = control<QComboBox>("shortcutType");
    EXPECT_EQ(type->itemText(0), "Common Programs");
    EXPECT_EQ(type->itemText(1), "Personal Programs");
    EXPECT_EQ(type->itemText(2), "Startup Programs");
    const int expected[] = {23, 2, 7};
    for (int index = 0; index < 3; ++index) {
        if (sheet->currentId() != CCabWizSheet::kMiniSetupPage) sheet->goToPage(CCabWizSheet::kMiniSetupPage);
        type->setCurrentIndex(index);
        package.m_nShortcutFolder = 0;
        sheet->nextButton()->click();
        EXPECT_EQ(package.m_nShortcutFolder, expected[index]) << index;
    }
}

TEST_F(MiniSetupPageTest, AddedShortcutsAndGroupAreStoredInRowOrderAndRemoveDeletesSelectedRows) {
    package.m_bSignature = 1;
    package.m_arrShortcutDesc = {"stale"};
    package.m_arrShortcutFile = {"stale.exe"};
    openAt(CCabWizSheet::kMiniSetupPage);
    control<QCheckBox>("shortcutGroup")->click();
    control<QLineEdit>("groupDesc")->setText("Tools");
    control<QCheckBox>("shortcuts")->click();

    whenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<CAddShortcutDialog*>(modal);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->windowTitle(), "Add Shortcut");
        ASSERT_EQ(dialog->files()->count(), 3);
        EXPECT_EQ(dialog->files()->item(0)->text(), "/home/ann/src/bin/app.exe");
        dialog->descriptionEdit()->setText("App");
        check(dialog->files(), 0);
        pressOk(dialog);
    });
    control<QPushButton>("addShortcut")->click();
    whenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<CAddShortcutDialog*>(modal);
        ASSERT_TRUE(dialog);
        dialog->descriptionEdit()->setText("Readme");
        pressOk(dialog);
    });
    control<QPushButton>("addShortcut")->click();
    whenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    control<QPushButton>("addShortcut")->click();

    auto* list = control<QTreeWidget>("shortcutList");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "bin\\app.exe");

    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kSignaturePage);
    EXPECT_EQ(package.m_bShortcutGroup, 1);
    EXPECT_EQ(package.m_strGroupDesc, "Tools");
    EXPECT_EQ(package.m_bShortcuts, 1);
    EXPECT_EQ(package.m_arrShortcutDesc, (std::vector<std::string>{"App", "Readme"}));
    EXPECT_EQ(package.m_arrShortcutFile, (std::vector<std::string>{"bin\\app.exe", ""}));

    sheet->goToPage(CCabWizSheet::kMiniSetupPage);
    list->topLevelItem(0)->setSelected(true);
    control<QPushButton>("removeShortcut")->click();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Readme");
}

TEST_F(MiniSetupPageTest, AddShortcutNamesTheFileBelowTheSourceFolderOnlyWhenItBeginsThere) {
    struct Case {
        int row;
        const char* expected;
    };
    for (Case c : {Case{0, "bin\\app.exe"}, Case{1, "helper.exe"}, Case{2, "old.exe"}}) {
        CAddShortcutDialog dialog(package, ui);
        dialog.descriptionEdit()->setText("Shortcut");
        check(dialog.files(), c.row);
        pressOk(&dialog);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.row;
        EXPECT_EQ(dialog.shortcutFile().toStdString(), c.expected) << c.row;
    }
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(MiniSetupPageTest, AddShortcutRefusesAnEmptyDescriptionAndTwoCheckedFiles) {
    CAddShortcutDialog dialog(package, ui);
    dialog.show();
    check(dialog.files(), 1);
    pressOk(&dialog);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Shortcut Description is required.");
    EXPECT_EQ(dialog.focusWidget(), dialog.descriptionEdit());

    dialog.descriptionEdit()->setText("Two");
    check(dialog.files(), 2);
    pressOk(&dialog);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(ui.shown().size(), 2u);
    EXPECT_EQ(ui.shown()[1].text,
              "More than one file has been selected.\n\nA shortcut can only be associated with one file.");

    dialog.files()->item(1)->setCheckState(Qt::Unchecked);
    pressOk(&dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.description(), "Two");
    EXPECT_EQ(dialog.shortcutFile(), "old.exe");
}

}  // namespace
}  // namespace pcn::test
