// The Signature page: defaults from the signing tool's key, the remembered
// information URL, the question without credentials or key, the pickers and
// where Next and Back lead for each kind.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "editing/core/SigningDefaults.h"
#include "signing/SigningJobs.h"
#include "editing/gui/tests/WizardPageTestSupport.h"

namespace pcn::test {
namespace {

using gui::CCabWizSheet;

class SignaturePageTest : public WizardPageTest {
protected:
    SignaturePageTest() {
        makeWizardKind();
        package.m_strSourceFolder = "/home/ann/src/";
    }
    const std::string signCodeSection = "HKEY_CURRENT_USER\\" + std::string(kSignCodeKey);
    const std::string informationSection = "HKEY_LOCAL_MACHINE\\" + std::string(kInformationKey);
};

TEST_F(SignaturePageTest, StartsFromTheSigningToolsKeyAndRemembersTheInformationUrl) {
    settings().writeString(signCodeSection, "Credentials", "/keys/ann.spc");
    settings().writeString(signCodeSection, "Key", "/keys/ann.pvk");
    settings().writeInt(signCodeSection, "ProviderType", 0);
    settings().writeString(informationSection, "URL", "https://old.example/");
    openAt(CCabWizSheet::kSignaturePage);

    EXPECT_EQ(control<QLineEdit>("credentials")->text(), "/keys/ann.spc");
    EXPECT_EQ(control<QLineEdit>("privateKey")->text(), "/keys/ann.pvk");
    EXPECT_EQ(control<QLineEdit>("signInfo")->text(), "https://old.example/");
    EXPECT_TRUE(control<QRadioButton>("sha1")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("md5")->isChecked());

    control<QLineEdit>("signInfo")->setText("https://ann.example/tools");
    control<QRadioButton>("md5")->click();
    sheet->nextButton()->click();
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kSummaryPage);
    EXPECT_EQ(package.m_bSignature, 1);
    EXPECT_EQ(package.m_bMD5, 1);
    EXPECT_EQ(package.m_strSignCredentials, "/keys/ann.spc");
    EXPECT_EQ(package.m_strSignInfo, "https://ann.example/tools");
    EXPECT_EQ(settings().readString(informationSection, "URL", ""), "https://ann.example/tools");
}

TEST_F(SignaturePageTest, Sha256AndAnRfc3161ServerAreRememberedForTheNextPackage) {
    package.m_bMD5 = 2;
    openAt(CCabWizSheet::kSignaturePage);
    EXPECT_TRUE(control<QRadioButton>("sha256")->isChecked());
    // The server of the default time-stamp template is an RFC 3161 one.
    EXPECT_TRUE(control<QRadioButton>("timeStampRfc3161")->isChecked());
    EXPECT_EQ(control<QLineEdit>("timeStampServer")->text().toStdString(), codesign::kDefaultTimeStampUrl);

    control<QLineEdit>("credentials")->setText("/keys/ann.spc");
    control<QLineEdit>("privateKey")->setText("/keys/ann.pvk");
    control<QRadioButton>("timeStampRfc3161")->click();
    control<QLineEdit>("timeStampServer")->setText("http://tsa bad/");
    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kSignaturePage);  // blanks cannot go into the template
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "A time-stamp server's address cannot hold blanks, quotes or \"@\".");

    control<QLineEdit>("timeStampServer")->setText("http://tsa.example/rfc3161");
    control<QRadioButton>("sha1")->click();
    control<QRadioButton>("sha256")->click();
    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kSummaryPage);
    EXPECT_EQ(package.m_bMD5, 2);
    EXPECT_EQ(settings().readInt("Settings\\CodeSign", "Digest", -1), 2);
    EXPECT_EQ(settings().readString(codesign::kSection, codesign::kTimeStampCommand, ""),
              "-tr 10 -tw 2 -x -ts http://tsa.example/rfc3161 @FileName@");
}

TEST_F(SignaturePageTest, DecliningTheQuestionKeepsThePageAndAcceptingTurnsSigningOff) {
    openAt(CCabWizSheet::kSignaturePage);
    control<QLineEdit>("credentials")->setText("/keys/ann.spc");
    ui.queueAnswer(Answer::No);
    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kSignaturePage);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text,
              "Signature Credentials and Key required.\nWould you like to continue without the Signature option "
              "enabled?");
    EXPECT_EQ(ui.shown()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(package.m_bSignature, 1);

    ui.queueAnswer(Answer::Yes);
    sheet->nextButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kSummaryPage);
    EXPECT_EQ(package.m_bSignature, 0);
    EXPECT_EQ(package.m_strSignCredentials, "/keys/ann.spc");
}

TEST_F(SignaturePageTest, BrowseUsesTheCredentialsAndKeyModesFromTheSourceFolder) {
    openAt(CCabWizSheet::kSignaturePage);
    pickers.queue("/keys/ann.spc");
    control<QPushButton>("browseCredentials")->click();
    pickers.queue("/keys/ann.pvk");
    control<QPushButton>("browseKey")->click();
    ASSERT_EQ(pickers.calls.size(), 2u);
    EXPECT_EQ(pickers.calls[0].kind, "credentials");
    EXPECT_EQ(pickers.calls[0].number, 1);
    EXPECT_EQ(pickers.calls[0].path, "/home/ann/src/");
    EXPECT_EQ(pickers.calls[1].number, 2);
    EXPECT_EQ(control<QLineEdit>("credentials")->text(), "/keys/ann.spc");
    EXPECT_EQ(control<QLineEdit>("privateKey")->text(), "/keys/ann.pvk");
}

TEST_F(SignaturePageTest, NextAndBackTargetsByKind) {
    openAt(CCabWizSheet::kSignaturePage);
    gui::CCabWizPage* signature = sheet->currentCabPage();

    makeKind(kKindCabinet);
    package.m_bCreateInf = 1;
    EXPECT_EQ(signature->nextPageId(), CCabWizSheet::kInfPage);
    EXPECT_EQ(signature->backPageId(), CCabWizSheet::kFolderPage);
    package.m_bCreateInf = 0;
    EXPECT_EQ(signature->nextPageId(), CCabWizSheet::kSummaryPage);

    makeKind(kKindSelfExtractingCabinet);
    package.m_bCreateInf = 1;  // only a plain cabinet has an INF
    EXPECT_EQ(signature->nextPageId(), CCabWizSheet::kSummaryPage);
    EXPECT_EQ(signature->backPageId(), CCabWizSheet::kFolderPage);

    makeKind(kKindSelfExtractingWizard);
    package.m_bMiniSetup = 1;
    EXPECT_EQ(signature->backPageId(), CCabWizSheet::kMiniSetupPage);
    package.m_bMiniSetup = 0;
    EXPECT_EQ(signature->backPageId(), CCabWizSheet::kInstallationPage);
}

}  // namespace
}  // namespace pcn::test
