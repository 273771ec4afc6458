// The pickers' rules without their dialogs: filter lists, filter indexes
// and where a picker starts.
#include <gtest/gtest.h>

#include "editing/gui/pickers/PickerRules.h"
#include "editing/gui/pickers/QtPickers.h"

namespace pcn::gui {
namespace {

TEST(PickerRules, FilterListsBecomeQtNameFiltersThatMatchWhatTheySay) {
    EXPECT_EQ(QtNameFilters(kAddFilesFilter),
              (QStringList{"All Files (*)", "Executables (*.exe)", "Libraries (*.dll)", "Controls (*.ocx)"}));
    EXPECT_EQ(QtNameFilters(kCredentialsFilter),
              (QStringList{"Credential Files (*.spc)", "Private Key Files (*.txt *.pvk)", "All Files (*)"}));
    EXPECT_EQ(QtNameFilters(kLicenceFileFilter).size(), 4);
    EXPECT_EQ(QtNameFilters(kLicenceFileFilter).at(3), "Exe Files (*.Exe)");
    EXPECT_EQ(QtNameFilters(kSignableFilter).size(), 5);
    // Components: controls and libraries at once, after the three numbered ones.
    EXPECT_EQ(QtNameFilters(kComponentFilter),
              (QStringList{"OLE Controls (*.ocx)", "Dynamic-link libraries (*.dll)", "All Files (*)",
                           "Components (*.dll *.ocx)"}));
    // A list without its closing "||", or without patterns in its text.
    EXPECT_EQ(QtNameFilters("Logs|*.log"), QStringList{"Logs (*.log)"});
    EXPECT_TRUE(QtNameFilters("").isEmpty());
}

TEST(PickerRules, FilterIndexesAreOneBasedAndFallBackToTheFirst) {
    const QStringList filters = QtNameFilters(kPackagePickerFilter);
    EXPECT_EQ(NameFilterAt(filters, 1), "Package Files (*.pcp)");
    EXPECT_EQ(NameFilterAt(filters, 2), "All Files (*)");
    EXPECT_EQ(NameFilterAt(filters, 0), "Package Files (*.pcp)");
    EXPECT_EQ(NameFilterAt(filters, 3), "Package Files (*.pcp)");
    EXPECT_EQ(NameFilterIndex(filters, "All Files (*)"), 2);
    EXPECT_EQ(NameFilterIndex(filters, "Other (*.x)"), 1);
}

TEST(PickerRules, FilePickersStartInTheFolderOfTheGivenPath) {
    EXPECT_EQ(InitialFolder("/home/u/licence.txt"), "/home/u/");
    EXPECT_EQ(InitialFolder("/home/u/src/"), "/home/u/src/");
    EXPECT_EQ(InitialFolder("C:\\src\\app.exe"), "C:\\src\\");
    EXPECT_EQ(InitialFolder("C:"), "");
    EXPECT_EQ(InitialFolder("/a"), "");
    EXPECT_EQ(InitialFolder(""), "");
    EXPECT_EQ(InitialFolder("readme.txt"), "");
}

TEST(PickerRules, FolderPickerSelectsThePathLessATrailingSeparator) {
    EXPECT_EQ(FolderPickerSelection("C:\\Tools\\"), "C:\\Tools");
    EXPECT_EQ(FolderPickerSelection("C:\\"), "C:\\");
    EXPECT_EQ(FolderPickerSelection("/home/u/src/"), "/home/u/src");
    EXPECT_EQ(FolderPickerSelection("/ab/"), "/ab");
    EXPECT_EQ(FolderPickerSelection("/a/"), "/a/");
    EXPECT_EQ(FolderPickerSelection("/"), "/");
    EXPECT_EQ(FolderPickerSelection("/home/u"), "/home/u");
}

}  // namespace
}  // namespace pcn::gui
