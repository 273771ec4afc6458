// The tabs of the package property sheet on a working copy: which tabs a
// kind gets, the leave and Apply steps with their checks, the Folders tab's
// re-scan, the Files tab's Change Path, the signature question, and the
// values that must survive an OK without changes.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

#include "building/ConfigFile.h"
#include "editing/core/SigningDefaults.h"
#include "editing/gui/forms/FolderForm.h"
#include "editing/gui/forms/FilesForm.h"
#include "editing/gui/forms/InformationForm.h"
#include "editing/gui/forms/MiniSetupForm.h"
#include "editing/gui/forms/SignatureForm.h"
#include "editing/gui/forms/TypeForm.h"
#include "editing/gui/sheet/CCabPropertyPage1.h"
#include "editing/gui/sheet/CCabPropertyPage2.h"
#include "editing/gui/sheet/CCabPropertyPage3.h"
#include "editing/gui/sheet/CCabPropertyPage4.h"
#include "editing/gui/sheet/CCabPropertyPage7.h"
#include "editing/gui/sheet/CCabPropertyPageMiniSetup.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "editing/gui/sheet/CChangeSourcePathDlg.h"
#include "editing/gui/sheet/CabPropertyPages.h"
#include "editing/gui/tests/EditingTestSupport.h"

namespace pcn::test {
namespace {

using namespace gui;

void setKind(CCabObj& p, int32_t kind) {
    p.m_bCab = kind == kKindCabinet;
    p.m_bCabSelf = kind == kKindSelfExtractingCabinet;
    p.m_bCabWiz = kind == kKindSelfExtractingWizard;
    p.SetKindFromFlags();
}

// Answers the next modal dialog once it is open.
void whenModalOpens(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        act(modal);
    });
}

class PropertyTabsTest : public EditingTest {
protected:
    PropertyTabsTest() {
        package.m_strCompany = "Tarnwick";
        package.m_strProduct = "Tool";
        package.m_strVersion = "1,0,0,1";
        package.m_strDescription = "Tool Package.";
        package.m_strComment = "Tool Package [1,0,0,1]";
        package.m_strProjectName = "Tool";
        package.m_strTargetFolder = (root() / "out" / "Tool").string() + "/";
        package.m_strSourceFolder = (root() / "old").string() + "/";
        package.m_bSignature = 0;
        package.AddFile(makeFile("old/a.dll"));
        package.AddFile(makeFile("old/b.exe"));
    }
    // A sheet with the tabs of the package's kind, shown at the given tab.
    CCabPropertySheet& open(int startTab = 0) {
        sheet = std::make_unique<CCabPropertySheet>(package, context());
        AddCabPropertyPages(*sheet);
        sheet->setActivePage(startTab);
        sheet->show();
        return *sheet;
    }
    template <class Tab>
    Tab* show() {
        Tab* tab = sheet->findPage<Tab>();
        EXPECT_TRUE(tab && sheet->setActivePage(tab));
        return tab;
    }
    CCabObj package;
    std::unique_ptr<CCabPropertySheet> sheet;
};

TEST_F(PropertyTabsTest, EachKindGetsItsTabsAndKeepsThemWhenTheKindChanges) {
    setKind(package, kKindSelfExtractingCabinet);
    EXPECT_EQ(open().tabCaptions(), (QStringList{"Information", "Type", "Folders", "Files", "User Options",
                                                 "Digital Signature"}));
    setKind(package, kKindCabinet);
    EXPECT_EQ(open().tabCaptions(),
              (QStringList{"Information", "Type", "Folders", "Files", "Digital Signature", "Inf File"}));
    setKind(package, kKindSelfExtractingWizard);
    const QStringList wizardTabs{"Information", "Type",       "Folders",           "Files",
                                 "User Options", "Installation", "Mini Setup", "Digital Signature"};
    EXPECT_EQ(open().tabCaptions(), wizardTabs);
    EXPECT_EQ(sheet->windowTitle(), "Package Properties");

    show<CCabPropertyPage2>()->form()->cabFile->click();
    ASSERT_TRUE(sheet->apply());
    EXPECT_EQ(package.m_bCab, 1);
    EXPECT_EQ(package.m_bCabWiz, 0);
    EXPECT_EQ(sheet->tabCaptions(), wizardTabs);
}

TEST_F(PropertyTabsTest, OkWithoutACompanyKeepsTheSheetWithTheFocusOnCompanyName) {
    open();
    QApplication::setActiveWindow(sheet.get());
    auto* information = sheet->findPage<CCabPropertyPage1>();
    information->form()->companyName->clear();
    sheet->okButton()->click();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_NE(sheet->result(), QDialog::Accepted);
    EXPECT_TRUE(ui.sawText("Company is a required entry."));
    EXPECT_EQ(QApplication::focusWidget(), information->form()->companyName);
    EXPECT_EQ(sheet->currentPage(), information);

    // Moving to another tab is refused the same way.
    sheet->tabs()->setCurrentIndex(1);
    EXPECT_EQ(sheet->currentPage(), information);

    information->form()->companyName->setText("Other Company");
    sheet->okButton()->click();
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_EQ(package.m_strCompany, "Other Company");
}

// A line break would become a key of its own in pcn.cfg: refused on the tab.
TEST_F(PropertyTabsTest, ALineBreakInAnInformationFieldKeepsTheSheetOnThatField) {
    open();
    QApplication::setActiveWindow(sheet.get());
    auto* information = sheet->findPage<CCabPropertyPage1>();
    information->form()->comment->setText("Tools\nExe=evil.exe");
    sheet->okButton()->click();
    EXPECT_NE(sheet->result(), QDialog::Accepted);
    EXPECT_TRUE(ui.sawText(kLineBreakRefused));
    EXPECT_EQ(QApplication::focusWidget(), information->form()->comment);
    information->form()->comment->setText("Tools");
    sheet->okButton()->click();
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
}

TEST_F(PropertyTabsTest, TheCommentAloneIsNoChangeButOtherFieldsAre) {
    package.m_bNewPackage = 1;
    open();
    auto* information = sheet->findPage<CCabPropertyPage1>();
    EXPECT_EQ(information->form()->productName->text(), "Tool");
    EXPECT_FALSE(sheet->applyButton()->isEnabled());
    information->form()->comment->setText("just a note");
    EXPECT_FALSE(sheet->applyButton()->isEnabled());
    // No automatic description or comment in the sheet.
    information->form()->productName->setText("Tools");
    EXPECT_TRUE(sheet->applyButton()->isEnabled());
    EXPECT_EQ(information->form()->packageDescription->text(), "Tool Package.");
    ASSERT_TRUE(sheet->apply());
    EXPECT_FALSE(sheet->applyButton()->isEnabled());
    EXPECT_EQ(package.m_strProduct, "Tools");
    EXPECT_EQ(package.m_strComment, "just a note");
    EXPECT_EQ(package.m_bNewPackage, 0);
}

TEST_F(PropertyTabsTest, FoldersTabShowsTheTargetAsParentPlusProjectAndChecksItsEntries) {
    package.m_strTargetFolder = (root() / "out" / "Old Name").string() + "/";
    open();
    auto* folders = show<CCabPropertyPage3>();
    const std::string expected = (root() / "out" / "Tool").string();
    EXPECT_EQ(package.m_strTargetFolder, expected);
    EXPECT_EQ(folders->form()->targetFolder->text().toStdString(), expected);
    EXPECT_FALSE(folders->discardBox()->isEnabled());

    folders->form()->projectName->clear();
    sheet->tabs()->setCurrentIndex(0);
    EXPECT_EQ(sheet->currentPage(), folders);
    EXPECT_TRUE(ui.sawText("Project Name is a required entry."));
    folders->form()->projectName->setText("Renamed");
    EXPECT_EQ(folders->form()->targetFolder->text().toStdString(), (root() / "out" / "Renamed").string());
    folders->form()->sourceFolder->clear();
    EXPECT_FALSE(sheet->apply());
    EXPECT_TRUE(ui.sawText("Source Directory is a required entry."));
}

TEST_F(PropertyTabsTest, DiscardReplacesTheFileTableWithTheNewFolderOnApplyAndOnlyWhenChecked) {
    makeFile("new/x.ocx", 100);
    makeFile("new/y.txt", 50);
    const QString newFolder = QString::fromStdString((root() / "new").string() + "/");

    open();
    auto* folders = show<CCabPropertyPage3>();
    folders->form()->sourceFolder->setText(newFolder);
    EXPECT_TRUE(folders->discardBox()->isEnabled());
    ASSERT_TRUE(sheet->apply());
    EXPECT_EQ(package.m_strSourceFolder, newFolder.toStdString());
    ASSERT_EQ(package.GetFileCount(), 2);
    EXPECT_EQ(package.GetFilePath(0), (root() / "old/a.dll").string());

    folders->form()->sourceFolder->setText(QString::fromStdString((root() / "old").string() + "/"));
    folders->form()->sourceFolder->setText(newFolder);
    folders->discardBox()->click();
    ASSERT_TRUE(sheet->apply());
    ASSERT_EQ(package.GetFileCount(), 2);
    EXPECT_EQ(package.GetFilePath(0), (root() / "new/x.ocx").string());
    EXPECT_EQ(package.GetFilePath(1), (root() / "new/y.txt").string());
    EXPECT_EQ(package.m_nSourceSize, 150);
    EXPECT_FALSE(folders->discardBox()->isChecked());
    EXPECT_FALSE(folders->discardBox()->isEnabled());
}

TEST_F(PropertyTabsTest, DiscardWithAMissingSourceFolderSaysSoAndKeepsTheFileList) {
    const QString missing = QString::fromStdString((root() / "gone").string() + "/");
    open();
    auto* folders = show<CCabPropertyPage3>();
    folders->form()->sourceFolder->setText(missing);
    folders->discardBox()->click();
    EXPECT_FALSE(sheet->apply());
    EXPECT_TRUE(ui.sawText(("Unable to read the source folder:\n\n" + missing).toStdString()));
    EXPECT_EQ(sheet->currentPage(), folders);
    ASSERT_EQ(package.GetFileCount(), 2);
    EXPECT_EQ(package.GetFilePath(0), (root() / "old/a.dll").string());
    // Leaving the tab is refused the same way.
    EXPECT_FALSE(sheet->setActivePage(sheet->findPage<CCabPropertyPage4>()));
    EXPECT_EQ(package.GetFileCount(), 2);

    // Put right, the folder is scanned.
    makeFile("gone/z.dll");
    ASSERT_TRUE(sheet->apply());
    ASSERT_EQ(package.GetFileCount(), 1);
    EXPECT_EQ(package.GetFilePath(0), (root() / "gone/z.dll").string());
}

TEST_F(PropertyTabsTest, FilesAddedAfterALeavingRescanSurviveApply) {
    makeFile("new/x.ocx");
    open();
    auto* folders = show<CCabPropertyPage3>();
    folders->form()->sourceFolder->setText(QString::fromStdString((root() / "new").string() + "/"));
    folders->discardBox()->click();
    auto* files = show<CCabPropertyPage4>();  // leaving scans the new folder
    ASSERT_EQ(files->form()->fileList->topLevelItemCount(), 1);
    pickers.queueFiles({QString::fromStdString(makeFile("elsewhere/extra.dll"))});
    files->form()->addButton->click();
    ASSERT_TRUE(sheet->apply());
    EXPECT_EQ(package.GetFileCount(), 2);
}

TEST_F(PropertyTabsTest, ChangePathRewritesOnlyPathsThatBeginWithTheOldFolder) {
    package.RemoveAllFiles();
    package.m_strSourceFolder = "/old/";
    package.AddFile("/old/sub/a.dll");
    package.AddFile("/other/b.dll");
    package.AddFile("/x/old/c.dll");
    package.AddFile("/older/d.dll");
    open();
    auto* folders = show<CCabPropertyPage3>();
    auto* files = show<CCabPropertyPage4>();
    EXPECT_FALSE(sheet->applyButton()->isEnabled());
    whenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<CChangeSourcePathDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->pathEdit()->text(), "/old/");
        dialog->pathEdit()->setText("/new");
        dialog->okButton()->click();
    });
    files->changePathButton()->click();
    EXPECT_EQ(package.m_pFiles->m_arrPath,
              (std::vector<std::string>{"/new/sub/a.dll", "/other/b.dll", "/x/old/c.dll", "/older/d.dll"}));
    EXPECT_EQ(package.m_strSourceFolder, "/new/");
    EXPECT_EQ(folders->form()->sourceFolder->text(), "/new/");
    EXPECT_FALSE(folders->discardBox()->isEnabled());  // moved, not a new folder to scan
    EXPECT_EQ(files->form()->fileList->topLevelItem(0)->text(0), "/new/sub/a.dll");
    EXPECT_TRUE(sheet->applyButton()->isEnabled());
}

TEST_F(PropertyTabsTest, AnEmptyFileListCannotBeLeftOrApplied) {
    package.m_nSourceSize = 32;
    open();
    auto* files = show<CCabPropertyPage4>();
    files->form()->fileList->selectAll();
    files->form()->removeButton->click();
    EXPECT_EQ(package.GetFileCount(), 0);
    EXPECT_EQ(package.m_nSourceSize, 32);  // the last scan's total
    EXPECT_TRUE(sheet->applyButton()->isEnabled());
    sheet->tabs()->setCurrentIndex(0);
    EXPECT_EQ(sheet->currentPage(), files);
    EXPECT_TRUE(ui.sawText("Files required."));
}

TEST_F(PropertyTabsTest, ShortcutTypeTwoOpensAsPersonalProgramsAndSurvivesOk) {
    setKind(package, kKindSelfExtractingWizard);
    package.m_bMiniSetup = 1;
    package.m_bShortcuts = 1;
    package.m_arrShortcutDesc = {"Tool"};
    package.m_arrShortcutFile = {"b.exe"};
    package.m_nShortcutFolder = kShortcutFolderPersonalPrograms;
    open();
    auto* miniSetup = show<CCabPropertyPageMiniSetup>();
    EXPECT_EQ(miniSetup->form()->shortcutType()->currentText(), "Personal Programs");
    EXPECT_TRUE(miniSetup->form()->shortcuts()->isEnabled());
    sheet->okButton()->click();
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_EQ(package.m_nShortcutFolder, kShortcutFolderPersonalPrograms);
    EXPECT_EQ(package.m_arrShortcutFile, std::vector<std::string>{"b.exe"});
}

TEST_F(PropertyTabsTest, MiniSetupBoxesFollowIncludeMiniSetup) {
    setKind(package, kKindSelfExtractingWizard);
    package.m_bMiniSetup = 0;
    open();
    auto* miniSetup = show<CCabPropertyPageMiniSetup>();
    EXPECT_FALSE(miniSetup->form()->shortcutGroup()->isEnabled());
    show<CCabPropertyPage2>()->form()->includeMiniSetup->click();
    show<CCabPropertyPageMiniSetup>();
    EXPECT_TRUE(miniSetup->form()->shortcutGroup()->isEnabled());
}

TEST_F(PropertyTabsTest, OkWithoutChangesOnEveryTabKeepsTheWholePackage) {
    setKind(package, kKindSelfExtractingWizard);
    CCabObj& p = package;
    p.m_strTargetFolder = (root() / "out" / "Tool").string();
    p.m_bMiniSetup = 1;
    p.m_bCreateInf = 0;  // a wizard has no INF file
    p.m_bCapSingle = 0;
    p.m_nCabSize = 3000000;
    p.m_bText = 1;
    p.m_strText = "Read me\nfirst";
    p.m_bPassword = 1;
    p.m_strPassword = "secret";
    p.m_strLicenseFile = "/licences/eula.txt";
    p.m_strInstallDir = "/opt/Tool";
    p.m_bUserDir = 0;
    p.m_bRestoreDirs = 1;
    p.m_strExe = "b.exe";
    p.m_strCommandLine = "/quiet";
    p.m_nShowType = 4;
    p.m_strExeDir = "%TEMP%\\work";
    p.m_bShortcutGroup = 1;
    p.m_strGroupDesc = "Tarnwick";
    p.m_bShortcuts = 1;
    p.m_arrShortcutDesc = {"Tool", "Helper"};
    p.m_arrShortcutFile = {"b.exe", "a.dll"};
    p.m_nShortcutFolder = kShortcutFolderStartup;
    p.m_bSignature = 1;
    p.m_strSignCredentials = "/keys/mine.spc";
    p.m_strSignKey = "/keys/mine.pvk";
    p.m_strSignInfo = "https://tarnwick.example/";
    p.m_bMD5 = 0;
    p.m_bTimeStamp = 0;
    p.SetFileDest(1, "%SYSTEM%");
    p.SetFileRegister(1, true);
    CCabObj expected;
    expected.CopyFrom(p);

    open();
    for (int i = 0; i < sheet->pageCount(); ++i) ASSERT_TRUE(sheet->setActivePage(i)) << i;
    EXPECT_FALSE(sheet->applyButton()->isEnabled());
    sheet->okButton()->click();
    ASSERT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_TRUE(p.StoredMembersEqual(expected));
    EXPECT_EQ(p.m_strExeDir, "%TEMP%\\work");
    EXPECT_EQ(p.m_nShowType, 4);
    EXPECT_EQ(p.m_bRestoreDirs, 1);
    EXPECT_EQ(p.m_nCabSize, 3000000);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(PropertyTabsTest, ChoosingCabFileOrCabSelfExtractingAloneLeavesApplyOff) {
    setKind(package, kKindSelfExtractingWizard);
    open();
    auto* type = show<CCabPropertyPage2>();
    type->form()->cabSelfExtracting->click();
    type->form()->cabFile->click();
    EXPECT_FALSE(sheet->applyButton()->isEnabled());
    // Nor do these clicks re-run the enabling rules: the wizard kind's stand
    // until another option is clicked.
    EXPECT_FALSE(type->form()->createInf->isEnabled());
    type->form()->useCompression->click();
    EXPECT_TRUE(sheet->applyButton()->isEnabled());
    EXPECT_TRUE(type->form()->createInf->isEnabled());
}

TEST_F(PropertyTabsTest, TypeTabShowsThePackagesLzxWindowAndAppliesAChange) {
    package.m_strReserved = "LZX:16";
    open();
    auto* type = show<CCabPropertyPage2>();
    QComboBox* method = type->form()->compressionMethod;
    EXPECT_EQ(method->currentText(), "LZX, 64 KB window");
    EXPECT_FALSE(sheet->applyButton()->isEnabled());
    const int twoMegabytes = method->findText("LZX, 2 MB window");
    method->setCurrentIndex(twoMegabytes);
    emit method->activated(twoMegabytes);
    EXPECT_TRUE(sheet->applyButton()->isEnabled());
    sheet->applyButton()->click();
    EXPECT_EQ(package.m_strReserved, "LZX:21");
    method->setCurrentIndex(0);
    emit method->activated(0);
    sheet->okButton()->click();
    EXPECT_EQ(package.m_strReserved, "");
}

class SignatureTabsTest : public PropertyTabsTest {
protected:
    SignatureTabsTest() {
        settings().writeString(signCodeSection, "Credentials", "/keys/ann.spc");
        settings().writeString(signCodeSection, "Key", "/keys/ann.pvk");
        settings().writeInt(signCodeSection, "ProviderType", 0);
        settings().writeString(informationSection, "URL", "https://tarnwick.example/");
    }
    const std::string signCodeSection = "HKEY_CURRENT_USER\\" + std::string(kSignCodeKey);
    const std::string informationSection = "HKEY_LOCAL_MACHINE\\" + std::string(kInformationKey);
};

TEST_F(SignatureTabsTest, NoToTheTypeTabsQuestionShowsTheSignatureTabAndRefusesApply) {
    settings().removeValue(signCodeSection, "Key");
    open();
    auto* type = show<CCabPropertyPage2>();
    type->form()->addSignature->click();  // fills the credentials, no key
    EXPECT_EQ(package.m_strSignCredentials, "/keys/ann.spc");
    EXPECT_EQ(package.m_bMD5, 0);
    ui.queueAnswer(Answer::No);
    EXPECT_FALSE(sheet->apply());
    EXPECT_TRUE(ui.sawText(kSignatureQuestion));
    EXPECT_EQ(sheet->currentPage(), sheet->findPage<CCabPropertyPage7>());

    ui.queueAnswer(Answer::Yes);
    EXPECT_TRUE(sheet->apply());
    EXPECT_EQ(package.m_bSignature, 0);
    EXPECT_FALSE(type->form()->addSignature->isChecked());
}

TEST_F(SignatureTabsTest, AKeyTypedOnTheSignatureTabCountsBeforeThatTabIsApplied) {
    settings().removeValue(signCodeSection, "Key");
    open();
    show<CCabPropertyPage2>()->form()->addSignature->click();
    auto* signature = show<CCabPropertyPage7>();
    EXPECT_TRUE(signature->form()->privateKey()->isEnabled());
    signature->form()->privateKey()->setText("/keys/typed.pvk");
    ui.clear();
    EXPECT_TRUE(sheet->apply());
    EXPECT_FALSE(ui.sawText(kSignatureQuestion));
    EXPECT_EQ(package.m_bSignature, 1);
    EXPECT_EQ(package.m_strSignKey, "/keys/typed.pvk");
}

TEST_F(SignatureTabsTest, TheSignatureTabOffersTheToolsFilesAndIsDisabledWithoutSigning) {
    open();
    auto* signature = show<CCabPropertyPage7>();
    EXPECT_EQ(signature->form()->credentials()->text(), "/keys/ann.spc");
    EXPECT_EQ(signature->form()->privateKey()->text(), "/keys/ann.pvk");
    EXPECT_EQ(signature->form()->signInfo()->text(), "https://tarnwick.example/");
    EXPECT_TRUE(signature->form()->sha1()->isChecked());
    EXPECT_FALSE(signature->form()->credentials()->isEnabled());

    signature->form()->signInfo()->setText("https://new.example/");
    ASSERT_TRUE(sheet->apply());
    EXPECT_EQ(settings().readString(informationSection, "URL", ""), "https://new.example/");
    EXPECT_EQ(package.m_strSignInfo, "https://new.example/");
}

TEST_F(SignatureTabsTest, NoOnTheSignatureTabKeepsItAndRefusesApply) {
    package.m_bSignature = 1;
    package.m_strSignCredentials = "/keys/mine.spc";
    package.m_strSignKey = "/keys/mine.pvk";
    open();
    auto* signature = show<CCabPropertyPage7>();
    EXPECT_EQ(signature->form()->credentials()->text(), "/keys/mine.spc");  // the package's own
    EXPECT_TRUE(signature->form()->credentials()->isEnabled());
    signature->form()->credentials()->clear();
    show<CCabPropertyPage1>();
    ui.queueAnswer(Answer::No);
    EXPECT_FALSE(sheet->apply());
    EXPECT_EQ(sheet->currentPage(), signature);
    EXPECT_EQ(package.m_bSignature, 1);
}

}  // namespace
}  // namespace pcn::test
