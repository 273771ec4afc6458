// The Installation page: its folder and program lists, the display type,
// the enabling by kind and where Next leads.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "building/ConfigFile.h"
#include "editing/gui/tests/WizardPageTestSupport.h"

namespace pcn::test {
namespace {

using gui::CCabWizSheet;

QStringList items(const QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i) list << combo->itemText(i);
    return list;
}

class InstallationPageTest : public WizardPageTest {
protected:
    InstallationPageTest() {
        makeWizardKind();
        package.m_strProduct = "Tools";
        package.m_bRestoreDirs = 1;
        package.m_strExeDir = "%TEMP%";
        for (const char* file : {"/src/Setup.EXE", "/src/readme.txt", "/src/run.bat", "/src/b/setup.exe",
                                 "/src/a.exe", "/src/lib.dll"})
            package.AddFile(file);
    }
};

TEST_F(InstallationPageTest, ListsOfferTheTokensAndThePackagesProgramsOnce) {
    openAt(CCabWizSheet::kInstallationPage);
    auto* installDir = control<QComboBox>("installDir");
    auto* exeDir = control<QComboBox>("exeDir");
    auto* exe = control<QComboBox>("exe");
    ASSERT_TRUE(installDir && exeDir && exe);
    EXPECT_EQ(items(installDir), (QStringList{"%PROGRAMFILES%\\Tools", "%COMMONFILES%\\Tools", "%WINDOWS%\\Tools",
                                              "%SYSTEM%\\Tools", "%TEMP%\\Tools"}));
    EXPECT_EQ(installDir->currentText(), "%PROGRAMFILES%\\Tools");
    EXPECT_EQ(items(exeDir),
              (QStringList{"%PROGRAMFILES%", "%COMMONFILES%", "%WINDOWS%", "%SYSTEM%", "%TEMP%", "%DESTDIR%"}));
    EXPECT_EQ(exeDir->currentText(), "");
    EXPECT_EQ(items(exe), (QStringList{"a.exe", "run.bat", "setup.exe"}));
    EXPECT_FALSE(control<QCheckBox>("restoreDirs")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("userDir")->isChecked());
}

TEST_F(InstallationPageTest, StoredInstallFolderIsAddedAndShownAndEveryFieldIsStoredOnNext) {
    package.m_strInstallDir = "%WINDOWS%\\Custom";
    package.m_bMiniSetup = 1;
    openAt(CCabWizSheet::kInstallationPage);
    auto* installDir = control<QComboBox>("installDir");
    EXPECT_EQ(installDir->currentText(), "%WINDOWS%\\Custom");
    EXPECT_EQ(installDir->count(), 6);

    control<QComboBox>("exe")->setCurrentIndex(2);
    control<QLineEdit>("commandLine")->setText("/quiet");
    auto* showType = control<QComboBox>("showType");
    EXPECT_EQ(items(showType), (QStringList{"Normal", "Minimized", "Maximized", "Console", "Hidden"}));
    showType->setCurrentIndex(3);
    control<QComboBox>("exeDir")->setCurrentText("%DESTDIR%");
    control<QCheckBox>("userDir")->click();
    control<QCheckBox>("restoreDirs")->click();

    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kMiniSetupPage);
    EXPECT_EQ(package.m_strInstallDir, "%WINDOWS%\\Custom");
    EXPECT_EQ(package.m_strExe, "setup.exe");
    EXPECT_EQ(package.m_strCommandLine, "/quiet");
    EXPECT_EQ(package.m_nShowType, 3);
    EXPECT_EQ(package.m_strExeDir, "%DESTDIR%");
    EXPECT_EQ(package.m_bUserDir, 0);
    EXPECT_EQ(package.m_bRestoreDirs, 1);
}

TEST_F(InstallationPageTest, ALineBreakInTheCommandLineKeepsThePage) {
    openAt(CCabWizSheet::kInstallationPage);
    control<QLineEdit>("commandLine")->setText("/quiet\nExe=evil.exe");
    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kInstallationPage);
    EXPECT_TRUE(ui.sawText(kLineBreakRefused));
    EXPECT_EQ(package.m_strCommandLine, "");
    control<QLineEdit>("commandLine")->setText("/quiet");
    sheet->nextButton()->click();
    EXPECT_NE(sheet->currentId(), CCabWizSheet::kInstallationPage);
}

TEST_F(InstallationPageTest, ProgramFieldsAreForTheWizardKindOnly) {
    makeKind(kKindSelfExtractingCabinet);
    openAt(CCabWizSheet::kInstallationPage);
    for (const char* name : {"exe", "commandLine", "showType", "installDir", "exeLabel", "commandLineLabel",
                             "showTypeLabel", "installDirLabel"})
        EXPECT_FALSE(control<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(control<QWidget>("exeDir")->isEnabled());
    EXPECT_TRUE(control<QWidget>("userDir")->isEnabled());

    makeKind(kKindSelfExtractingWizard);
    sheet->goToPage(CCabWizSheet::kUserOptionsPage);
    sheet->nextButton()->click();
    ASSERT_EQ(sheet->currentId(), CCabWizSheet::kInstallationPage);
    for (const char* name : {"exe", "commandLine", "showType", "installDir"})
        EXPECT_TRUE(control<QWidget>(name)->isEnabled()) << name;
}

TEST_F(InstallationPageTest, NextLeadsToMiniSetupElseSignatureElseSummary) {
    openAt(CCabWizSheet::kInstallationPage);
    auto* current = sheet->currentCabPage();
    package.m_bMiniSetup = 1;
    EXPECT_EQ(current->nextPageId(), CCabWizSheet::kMiniSetupPage);
    package.m_bMiniSetup = 0;
    package.m_bSignature = 1;
    EXPECT_EQ(current->nextPageId(), CCabWizSheet::kSignaturePage);
    package.m_bSignature = 0;
    EXPECT_EQ(current->nextPageId(), CCabWizSheet::kSummaryPage);
    EXPECT_EQ(current->backPageId(), CCabWizSheet::kUserOptionsPage);
}

}  // namespace
}  // namespace pcn::test

namespace pcn::test {
namespace {

// Back may skip pages that Next visited (signing turned off on the way);
// Next must still lead forward to them afterwards.
TEST_F(InstallationPageTest, NextStillWorksAfterBackSkippedVisitedPages) {
    package.m_bMiniSetup = 1;
    package.m_bSignature = 1;
    package.m_strSourceFolder = "/src/";
    openAt(CCabWizSheet::kUserOptionsPage);
    sheet->nextButton()->click();
    sheet->nextButton()->click();
    ASSERT_EQ(sheet->currentId(), CCabWizSheet::kMiniSetupPage);
    sheet->nextButton()->click();
    ASSERT_EQ(sheet->currentId(), CCabWizSheet::kSignaturePage);
    ui.queueAnswer(Answer::Yes);  // go on without signing
    sheet->nextButton()->click();
    ASSERT_EQ(sheet->currentId(), CCabWizSheet::kSummaryPage);

    sheet->backButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kMiniSetupPage);
    sheet->backButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kInstallationPage);
    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kMiniSetupPage);
    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kSummaryPage);
}

}  // namespace
}  // namespace pcn::test
