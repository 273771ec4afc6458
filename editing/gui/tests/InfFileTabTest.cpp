// The Inf File tab: reads the INF file of the target folder, offers to
// rebuild a missing one, writes the edited text with CR LF line ends on
// Apply, and copies it into the source folder (listed once) when the
// cabinet carries it.
#include <QPlainTextEdit>
#include <QPushButton>

#include "building/CabInfWriter.h"
#include "editing/gui/sheet/CCabPropertyPage8.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "editing/gui/sheet/CabPropertyPages.h"
#include "editing/gui/tests/EditingTestSupport.h"
#include "platform/AtomicFile.h"

namespace pcn::test {
namespace {

using gui::CCabPropertyPage8;
using gui::CCabPropertySheet;

class InfFileTabTest : public EditingTest {
protected:
    InfFileTabTest() {
        package.m_strProduct = "Tool";
        package.m_strProjectName = "Tool";
        package.m_strTargetFolder = (root() / "out").string() + "/";
        package.m_strSourceFolder = (root() / "src").string() + "/";
        package.AddFile(makeFile("src/readme.txt"));
        infPath = CabInfFilePath(package);
    }
    // Opens the sheet on the Inf File tab.
    CCabPropertyPage8* open(CCabPropertySheet& sheet) {
        gui::AddCabPropertyPages(sheet);
        auto* tab = sheet.findPage<CCabPropertyPage8>();
        EXPECT_NE(tab, nullptr);
        if (!tab) return nullptr;
        sheet.setActivePage(tab);
        sheet.show();
        return tab;
    }
    std::string fileText(const std::string& path) {
        std::string text;
        readWholeFile(path, text);
        return text;
    }
    CCabObj package;
    std::string infPath;
};

TEST_F(InfFileTabTest, AMissingFileIsRebuiltOnYesAndWrittenWithItsSourceFolderCopyOnApply) {
    package.m_bIncludeInf = 1;
    ui.queueAnswer(Answer::Yes);
    CCabPropertySheet sheet(package, context());
    CCabPropertyPage8* tab = open(sheet);
    ASSERT_TRUE(tab);
    ASSERT_TRUE(ui.sawText("Unable to find Cabinet Information File:\n" + infPath +
                           "\n\nWould you like to rebuild the INF file?"));
    const std::string generated = GenerateCabInfText(package);
    EXPECT_EQ(tab->infEdit()->toPlainText().toStdString(),
              QString::fromStdString(generated).replace("\r\n", "\n").toStdString());
    EXPECT_TRUE(sheet.applyButton()->isEnabled());

    ASSERT_TRUE(sheet.apply());
    EXPECT_EQ(fileText(infPath), generated);
    EXPECT_EQ(package.m_strInfText, generated);
    const std::string copy = package.m_strSourceFolder + "Tool.Inf";
    EXPECT_EQ(fileText(copy), generated);
    ASSERT_EQ(package.GetFileCount(), 2);
    EXPECT_EQ(package.GetFilePath(1), copy);
    EXPECT_EQ(package.GetFileDest(1), "%DESTDIR%");
    EXPECT_EQ(package.GetFileRegister(1), "0");

    // Applying again writes again but lists the copy once.
    tab->infEdit()->appendPlainText("; more");
    ASSERT_TRUE(sheet.apply());
    EXPECT_EQ(package.GetFileCount(), 2);
    EXPECT_NE(fileText(infPath).find("\r\n; more"), std::string::npos);
}

TEST_F(InfFileTabTest, NoToTheRebuildQuestionLeavesTheEditEmpty) {
    ui.queueAnswer(Answer::No);
    CCabPropertySheet sheet(package, context());
    CCabPropertyPage8* tab = open(sheet);
    ASSERT_TRUE(tab);
    EXPECT_TRUE(tab->infEdit()->toPlainText().isEmpty());
    EXPECT_FALSE(sheet.applyButton()->isEnabled());
}

TEST_F(InfFileTabTest, AnExistingFileIsShownAndEditsAreWrittenWithCrLf) {
    const std::string onDisk = "; Tool\r\n\r\n[Version]\r\nSignature=$CHICAGO$\r\n";
    makeFile("out/Tool.Inf", 0);
    ASSERT_TRUE(writeFileAtomically(infPath, onDisk).ok);
    CCabPropertySheet sheet(package, context());
    CCabPropertyPage8* tab = open(sheet);
    ASSERT_TRUE(tab);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(tab->infEdit()->toPlainText(), "; Tool\n\n[Version]\nSignature=$CHICAGO$\n");
    EXPECT_TRUE(tab->infEdit()->isEnabled());
    EXPECT_FALSE(sheet.applyButton()->isEnabled());

    tab->infEdit()->setPlainText("; Edited\n[Version]\n");
    EXPECT_TRUE(sheet.applyButton()->isEnabled());
    ASSERT_TRUE(sheet.apply());
    EXPECT_EQ(fileText(infPath), "; Edited\r\n[Version]\r\n");
    EXPECT_EQ(package.GetFileCount(), 1);  // the cabinet does not carry it

    tab->rebuildButton()->click();
    EXPECT_EQ(tab->infEdit()->toPlainText().toStdString(),
              QString::fromStdString(GenerateCabInfText(package)).replace("\r\n", "\n").toStdString());
    EXPECT_TRUE(sheet.applyButton()->isEnabled());
}

TEST_F(InfFileTabTest, WithoutCreateInfTheTabIsDisabledAndTheFileLeftAlone) {
    package.m_bCreateInf = 0;
    package.m_strInfText = "; kept";
    makeFile("out/Tool.Inf", 5, 'k');
    CCabPropertySheet sheet(package, context());
    CCabPropertyPage8* tab = open(sheet);
    ASSERT_TRUE(tab);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_FALSE(tab->infEdit()->isEnabled());
    EXPECT_FALSE(tab->rebuildButton()->isEnabled());
    ASSERT_TRUE(sheet.apply());
    EXPECT_EQ(fileText(infPath), "kkkkk");
    EXPECT_EQ(package.m_strInfText, "; kept");
}

TEST_F(InfFileTabTest, AFileThatCannotBeWrittenGoesToTheErrorDetailsAndApplyGoesOn) {
    makeFile("blocker", 1);
    package.m_strTargetFolder = (root() / "blocker" / "out").string() + "/";
    infPath = CabInfFilePath(package);
    ui.queueAnswer(Answer::Yes);  // error creating the folder
    ui.queueAnswer(Answer::Yes);  // rebuild
    CCabPropertySheet sheet(package, context());
    ASSERT_TRUE(open(sheet));
    ui.clear();
    EXPECT_TRUE(sheet.apply());
    bool reported = false;
    for (const auto& shown : ui.shown())
        reported = reported || (shown.isErrorDetails && shown.details == "Unable to open file:\r\n" + infPath);
    EXPECT_TRUE(reported);
}

}  // namespace
}  // namespace pcn::test
