// The options sheet driven as a user would: values reach the settings store
// only through Apply or OK.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <QComboBox>

#include "building/SelfExtractor.h"
#include "model/CompressionChoice.h"
#include "editing/gui/options/CStdProperties.h"
#include "editing/gui/options/CStdPropertyPage2.h"
#include "editing/gui/tests/EditingTestSupport.h"
#include "platform/Paths.h"
#include "signing/SigningJobs.h"

namespace pcn::test {
namespace {

class OptionsSheetTest : public EditingTest {
protected:
    OptionsSheetTest() : sheet(context()) { sheet.show(); }

    template <typename T>
    T* control(const char* name) {
        T* found = sheet.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void showTab(const char* caption) {
        for (int i = 0; i < sheet.pageCount(); ++i) {
            if (sheet.page(i)->caption() == caption) {
                ASSERT_TRUE(sheet.setActivePage(i));
            }
        }
    }
    void showEveryTab() {
        for (const char* tab : {"Self Extracting Cabinet", "Code Signing", "Animation", "General"}) showTab(tab);
    }
    int generalValue(const char* name) { return settings().readInt("Settings\\General", name, -1); }
    std::string signCodeValue() { return settings().readString(codesign::kSection, codesign::kSignCodeCommand, "<none>"); }

    gui::CStdProperties sheet;
};

}  // namespace

TEST_F(OptionsSheetTest, TabsInOrderAndFreshInstallDefaults) {
    EXPECT_EQ(sheet.windowTitle(), "Options");
    QStringList tabs;
    for (int i = 0; i < sheet.pageCount(); ++i) tabs << sheet.page(i)->caption();
    EXPECT_EQ(tabs, QStringList({"General", "Self Extracting Cabinet", "Code Signing", "Animation", "Compression"}));
    EXPECT_EQ(sheet.page(3)->objectName(), "CStdPropertyPage1");

    showEveryTab();
    EXPECT_TRUE(control<QCheckBox>("reloadWorkspace")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("displayDateTime")->isChecked());
    EXPECT_EQ(control<QLineEdit>("selfExtractor")->text().toStdString(), programFolder() + "Extract.Exe");
    EXPECT_EQ(control<QPlainTextEdit>("signCodeCommand")->toPlainText().toStdString(),
              codesign::kDefaultSignCodeCommand);
    EXPECT_EQ(control<QPlainTextEdit>("timeStampCommand")->toPlainText().toStdString(),
              codesign::kDefaultTimeStampCommand);
    EXPECT_TRUE(control<QRadioButton>("customAnimation")->isChecked());
    EXPECT_FALSE(sheet.applyButton()->isEnabled());

    // Cancel writes nothing, not even the defaults shown.
    sheet.cancelButton()->click();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_FALSE(std::filesystem::exists(settings().file()));
}

TEST_F(OptionsSheetTest, ChangesReachTheStoreOnlyOnApplyAndSurviveALaterCancel) {
    settings().writeInt("Settings", "Animation", 0);
    control<QCheckBox>("reloadWorkspace")->click();
    EXPECT_TRUE(sheet.applyButton()->isEnabled());
    showTab("Self Extracting Cabinet");
    QLineEdit* path = control<QLineEdit>("selfExtractor");
    path->clear();
    QTest::keyClicks(path, "/opt/stubs/MyExtract.exe");
    showTab("Code Signing");
    control<QPlainTextEdit>("signCodeCommand")->clear();
    showTab("Animation");
    control<QRadioButton>("noAnimation")->click();

    EXPECT_EQ(generalValue("Reload Workspace"), -1);
    EXPECT_FALSE(settings().contains(kSelfExtractorSection, kSelfExtractorValue));
    EXPECT_EQ(signCodeValue(), "<none>");
    EXPECT_EQ(settings().readInt("Settings", "Animation", -1), 0);

    sheet.applyButton()->click();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_FALSE(sheet.applyButton()->isEnabled());
    EXPECT_EQ(generalValue("Reload Workspace"), 0);
    EXPECT_EQ(generalValue("Display Date and Time"), 1);
    EXPECT_EQ(settings().readString(kSelfExtractorSection, kSelfExtractorValue, ""), "/opt/stubs/MyExtract.exe");
    EXPECT_EQ(signCodeValue(), "");  // an empty template is stored as typed
    EXPECT_EQ(settings().readString(codesign::kSection, codesign::kTimeStampCommand, ""),
              codesign::kDefaultTimeStampCommand);
    EXPECT_EQ(settings().readInt("Settings", "Animation", -1), 2);

    // Changed again and cancelled: Apply's values stay.
    control<QRadioButton>("flyingFolders")->click();
    sheet.cancelButton()->click();
    EXPECT_EQ(settings().readInt("Settings", "Animation", -1), 2);
    EXPECT_EQ(generalValue("Reload Workspace"), 0);
}

TEST_F(OptionsSheetTest, CompressionLevelsShowTheStoreAndAreWrittenOnApply) {
    ASSERT_TRUE(writeCompressionLevels(settings(), {7, 2}));
    showTab("Compression");
    auto* mszip = control<QComboBox>("mszipLevel");
    auto* lzx = control<QComboBox>("lzxLevel");
    EXPECT_EQ(mszip->currentIndex(), 6);
    EXPECT_EQ(lzx->currentIndex(), 1);
    EXPECT_EQ(lzx->count(), 9);
    lzx->setCurrentIndex(8);
    emit lzx->activated(8);
    EXPECT_TRUE(sheet.applyButton()->isEnabled());
    EXPECT_EQ(readCompressionLevels(settings()).lzx, 2);
    sheet.applyButton()->click();
    EXPECT_EQ(readCompressionLevels(settings()).lzx, 9);
    EXPECT_EQ(readCompressionLevels(settings()).mszip, 7);
}

TEST_F(OptionsSheetTest, OkWritesOnlyTheTabsThatWereShown) {
    control<QCheckBox>("displayDateTime")->click();
    sheet.okButton()->click();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(generalValue("Display Date and Time"), 0);
    EXPECT_EQ(generalValue("Reload Workspace"), 1);
    EXPECT_FALSE(settings().contains(kSelfExtractorSection, kSelfExtractorValue));
    EXPECT_FALSE(settings().contains("Settings", "Animation"));
    EXPECT_EQ(signCodeValue(), "<none>");
}

TEST_F(OptionsSheetTest, DefaultButtonsBringBackTheDefaults) {
    settings().writeString(kSelfExtractorSection, kSelfExtractorValue, "/elsewhere/x.exe");
    settings().writeString(codesign::kSection, codesign::kSignCodeCommand, "-custom @FileName@");
    settings().writeString(codesign::kSection, codesign::kTimeStampCommand, "-t http://tsa.example @FileName@");
    gui::CStdProperties fresh(context());
    fresh.show();
    fresh.setActivePage(1);
    auto* path = fresh.findChild<QLineEdit*>("selfExtractor");
    EXPECT_EQ(path->text(), "/elsewhere/x.exe");
    fresh.findChild<QPushButton*>("defaultExtractor")->click();
    EXPECT_EQ(path->text(), gui::CStdPropertyPage2::defaultExtractor());
    EXPECT_TRUE(fresh.applyButton()->isEnabled());

    fresh.setActivePage(2);
    auto* signCode = fresh.findChild<QPlainTextEdit*>("signCodeCommand");
    auto* timeStamp = fresh.findChild<QPlainTextEdit*>("timeStampCommand");
    EXPECT_EQ(signCode->toPlainText(), "-custom @FileName@");
    fresh.findChild<QPushButton*>("defaultSignCode")->click();
    EXPECT_EQ(signCode->toPlainText().toStdString(), codesign::kDefaultSignCodeCommand);
    EXPECT_EQ(timeStamp->toPlainText(), "-t http://tsa.example @FileName@");  // only its own edit
    fresh.findChild<QPushButton*>("defaultTimeStamp")->click();
    EXPECT_EQ(timeStamp->toPlainText().toStdString(), codesign::kDefaultTimeStampCommand);
    EXPECT_EQ(signCodeValue(), "-custom @FileName@");

    fresh.okButton()->click();
    EXPECT_EQ(settings().readString(kSelfExtractorSection, kSelfExtractorValue, ""),
              gui::CStdPropertyPage2::defaultExtractor().toStdString());
    EXPECT_EQ(signCodeValue(), codesign::kDefaultSignCodeCommand);
    EXPECT_EQ(settings().readString(codesign::kSection, codesign::kTimeStampCommand, ""),
              codesign::kDefaultTimeStampCommand);
}

TEST_F(OptionsSheetTest, TimeStampServerRowAndTemplateFollowEachOther) {
    settings().writeString(codesign::kSection, codesign::kTimeStampCommand, "-tr 3 -x -t http://old.example/ @FileName@");
    gui::CStdProperties fresh(context());
    fresh.show();
    fresh.setActivePage(2);
    auto* timeStamp = fresh.findChild<QPlainTextEdit*>("timeStampCommand");
    auto* rfc3161 = fresh.findChild<QRadioButton*>("timeStampRfc3161");
    auto* server = fresh.findChild<QLineEdit*>("timeStampServer");
    EXPECT_TRUE(fresh.findChild<QRadioButton*>("timeStampAuthenticode")->isChecked());
    EXPECT_EQ(server->text(), "http://old.example/");

    rfc3161->click();
    server->setText("http://127.0.0.1:3161/");
    emit server->textEdited(server->text());
    EXPECT_EQ(timeStamp->toPlainText(), "-tr 3 -x -ts http://127.0.0.1:3161/ @FileName@");
    // A template edited by hand shows its server in the row.
    timeStamp->setPlainText("-x -tsa-certs tsa.pem -tsa-key tsa.key @FileName@");
    EXPECT_FALSE(rfc3161->isChecked());
    EXPECT_TRUE(server->text().isEmpty());
    timeStamp->setPlainText("-x -ts http://tsa.example/ @FileName@");
    EXPECT_TRUE(rfc3161->isChecked());

    server->setText("http://user@tsa.example/");  // "@" would start a token
    emit server->textEdited(server->text());
    fresh.okButton()->click();
    EXPECT_TRUE(fresh.isVisible());
    EXPECT_TRUE(ui.sawText("A time-stamp server's address cannot hold blanks, quotes or \"@\"."));
    server->setText("http://tsa.example/");
    emit server->textEdited(server->text());
    fresh.okButton()->click();
    EXPECT_FALSE(fresh.isVisible());
    EXPECT_EQ(settings().readString(codesign::kSection, codesign::kTimeStampCommand, ""),
              "-x -ts http://tsa.example/ @FileName@");
}

TEST_F(OptionsSheetTest, BrowseRemembersItsFolderAndFilterAtOnceButTheExtractorOnlyOnApply) {
    settings().writeString("Settings\\STD", "Last File", "/opt/old/Extract.Exe");
    showTab("Self Extracting Cabinet");
    pickers.queue("/opt/new/Other.Exe", 3);
    control<QPushButton>("browse")->click();
    ASSERT_EQ(pickers.calls.size(), 1u);
    EXPECT_EQ(pickers.calls[0].kind, "licence");
    EXPECT_EQ(pickers.calls[0].path, "/opt/old/Extract.Exe");
    EXPECT_EQ(pickers.calls[0].number, 4);  // "Exe Files (*.Exe)" when none was remembered
    EXPECT_EQ(control<QLineEdit>("selfExtractor")->text(), "/opt/new/Other.Exe");
    EXPECT_EQ(settings().readString("Settings\\STD", "Last File", ""), "/opt/new/Other.Exe");
    EXPECT_EQ(settings().readInt("Settings\\STD", "Last Index", 0), 3);
    EXPECT_FALSE(settings().contains(kSelfExtractorSection, kSelfExtractorValue));

    // A cancelled picker changes nothing.
    control<QPushButton>("browse")->click();
    EXPECT_EQ(control<QLineEdit>("selfExtractor")->text(), "/opt/new/Other.Exe");
    EXPECT_EQ(pickers.calls.back().number, 3);

    sheet.applyButton()->click();
    EXPECT_EQ(settings().readString(kSelfExtractorSection, kSelfExtractorValue, ""), "/opt/new/Other.Exe");
}

TEST_F(OptionsSheetTest, AnimationValuesOutsideTheChoicesCheckNone) {
    settings().writeInt("Settings", "Animation", 7);
    gui::CStdProperties fresh(context());
    fresh.show();
    fresh.setActivePage(3);
    for (const char* name : {"customAnimation", "flyingFolders", "noAnimation"})
        EXPECT_FALSE(fresh.findChild<QRadioButton*>(name)->isChecked()) << name;
    fresh.apply();
    EXPECT_EQ(settings().readInt("Settings", "Animation", -1), 0);
    fresh.findChild<QRadioButton*>("flyingFolders")->click();
    fresh.okButton()->click();
    EXPECT_EQ(settings().readInt("Settings", "Animation", -1), 1);
}

TEST_F(OptionsSheetTest, AnUnwritableStoreIsReportedAndKeepsTheSheetOpen) {
    // A folder where the settings file should be: the new file cannot replace it.
    std::filesystem::create_directories(settings().file());
    control<QCheckBox>("reloadWorkspace")->click();
    sheet.okButton()->click();
    EXPECT_TRUE(sheet.isVisible());
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_TRUE(ui.shown().back().isErrorDetails);
    EXPECT_EQ(ui.shown().back().text, "Unable to save the options.");
    EXPECT_NE(ui.shown().back().details.find(settings().file().string()), std::string::npos);
    EXPECT_TRUE(sheet.applyButton()->isEnabled());
}

}  // namespace pcn::test
