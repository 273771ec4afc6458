#include <gtest/gtest.h>

#include "editing/gui/pickers/QtPickers.h"

namespace pcn::gui {

TEST(QtPickers, StartFolderIsThePathCutAfterItsLastSeparatorWhenLongerThanTwo) {
    EXPECT_EQ(QtPickers::initialFolder("/opt/tools/sign.exe"), "/opt/tools/");
    EXPECT_EQ(QtPickers::initialFolder("C:\\Tools\\a.spc"), "C:\\Tools\\");
    EXPECT_EQ(QtPickers::initialFolder("/a"), "");
    EXPECT_EQ(QtPickers::initialFolder("name.pcp"), "");
}

TEST(QtPickers, FolderPickerKeepsARootButDropsOtherTrailingSeparators) {
    EXPECT_EQ(QtPickers::folderToSelect("/"), "/");
    EXPECT_EQ(QtPickers::folderToSelect("C:\\"), "C:\\");
    EXPECT_EQ(QtPickers::folderToSelect("/opt/tools/"), "/opt/tools");
    EXPECT_EQ(QtPickers::folderToSelect("/opt/tools"), "/opt/tools");
}

}  // namespace pcn::gui
