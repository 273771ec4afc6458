// The User Options page: remembered values, the fields following their
// check boxes, the licence file check and the licence picker.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "editing/gui/forms/UserOptionsForm.h"
#include "editing/gui/tests/WizardPageTestSupport.h"
#include "editing/gui/wizard/CCabWizPage5.h"

namespace pcn::test {
namespace {

using gui::CCabWizSheet;

class UserOptionsPageTest : public WizardPageTest {
protected:
    UserOptionsPageTest() {
        makeWizardKind();
        package.m_strSourceFolder = (root() / "src").string() + "/";
    }
};

TEST_F(UserOptionsPageTest, StartsFromRememberedValuesAndFieldsFollowTheirBoxes) {
    settings().writeInt("Settings\\Package", "PromptUser", 1);
    settings().writeString("Settings\\Package", "PromptUserText", "Read me first");
    settings().writeString("Settings\\Package", "Password", "remembered");
    openAt(CCabWizSheet::kUserOptionsPage);

    auto* displayText = control<QCheckBox>("displayText");
    auto* promptText = control<QPlainTextEdit>("promptText");
    auto* passwordProtect = control<QCheckBox>("passwordProtect");
    auto* password = control<QLineEdit>("password");
    auto* displayLicense = control<QCheckBox>("displayLicense");
    auto* licenseFile = control<QLineEdit>("licenseFile");
    ASSERT_TRUE(displayText && promptText && passwordProtect && password && displayLicense && licenseFile);
    EXPECT_TRUE(displayText->isChecked());
    EXPECT_EQ(promptText->toPlainText(), "Read me first");
    EXPECT_TRUE(promptText->isEnabled());
    EXPECT_FALSE(passwordProtect->isChecked());
    EXPECT_EQ(password->text(), "remembered");
    EXPECT_FALSE(password->isEnabled());
    EXPECT_FALSE(licenseFile->isEnabled());

    passwordProtect->click();
    EXPECT_TRUE(password->isEnabled());
    displayText->click();
    EXPECT_FALSE(promptText->isEnabled());
    EXPECT_TRUE(sheet->backButton()->isEnabled());
    EXPECT_TRUE(sheet->nextButton()->isEnabled());

    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kInstallationPage);
    EXPECT_EQ(package.m_bText, 0);
    EXPECT_EQ(package.m_bPassword, 1);
    EXPECT_EQ(package.m_strPassword, "remembered");
    EXPECT_EQ(settings().readInt("Settings\\Package", "UsePassword", 0), 1);
    EXPECT_EQ(settings().readInt("Settings\\Package", "PromptUser", 1), 0);
}

TEST_F(UserOptionsPageTest, MissingLicenceFileKeepsThePageWithTheSystemErrorAndTheMessageAsDetails) {
    openAt(CCabWizSheet::kUserOptionsPage);
    auto* displayLicense = control<QCheckBox>("displayLicense");
    auto* licenseFile = control<QLineEdit>("licenseFile");
    displayLicense->click();
    const std::string missing = (root() / "licence.txt").string();
    licenseFile->setText(QString::fromStdString(missing));

    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kUserOptionsPage);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_TRUE(ui.shown()[0].isErrorDetails);
    EXPECT_EQ(ui.shown()[0].text, "Error 2\n\nNo such file or directory");
    EXPECT_EQ(ui.shown()[0].details, "Unable to find license file:\r\n\r\n" + missing);
    EXPECT_EQ(sheet->focusWidget(), licenseFile);
    EXPECT_EQ(package.m_bLicense, 0);
    EXPECT_FALSE(settings().contains("Settings\\Package", "LicenseFile"));

    // A folder is no licence file either.
    licenseFile->setText(QString::fromStdString(root().string()));
    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kUserOptionsPage);
    ASSERT_EQ(ui.shown().size(), 2u);
    EXPECT_EQ(ui.shown()[1].text, "Error 21\n\nIs a directory");

    makeFile("licence.txt");
    licenseFile->setText(QString::fromStdString(missing));
    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kInstallationPage);
    EXPECT_EQ(package.m_bLicense, 1);
    EXPECT_EQ(package.m_strLicenseFile, missing);
    EXPECT_EQ(settings().readString("Settings\\Package", "LicenseFile", ""), missing);
    EXPECT_EQ(settings().readInt("Settings\\Package", "UseLicenseFile", 0), 1);
}

TEST_F(UserOptionsPageTest, BrowseStartsInTheSourceFolderThenAtTheLastFileAndRemembersIt) {
    openAt(CCabWizSheet::kUserOptionsPage);
    control<QCheckBox>("displayLicense")->click();
    pickers.queue("/docs/eula.txt", 1);
    control<QPushButton>("browseLicense")->click();
    ASSERT_EQ(pickers.calls.size(), 1u);
    EXPECT_EQ(pickers.calls[0].kind, "licence");
    EXPECT_EQ(pickers.calls[0].path.toStdString(), package.m_strSourceFolder);
    EXPECT_EQ(pickers.calls[0].number, 2);
    EXPECT_EQ(control<QLineEdit>("licenseFile")->text(), "/docs/eula.txt");
    EXPECT_EQ(settings().readString("Settings\\License File", "Last File", ""), "/docs/eula.txt");
    EXPECT_EQ(settings().readInt("Settings\\License File", "Last Index", 0), 1);

    // Cancel leaves the path and the remembered values alone.
    control<QPushButton>("browseLicense")->click();
    ASSERT_EQ(pickers.calls.size(), 2u);
    EXPECT_EQ(pickers.calls[1].path, "/docs/eula.txt");
    EXPECT_EQ(pickers.calls[1].number, 1);
    EXPECT_EQ(control<QLineEdit>("licenseFile")->text(), "/docs/eula.txt");
}

}  // namespace
}  // namespace pcn::test
