// The wizard's first two pages as a user meets them: defaults, live texts,
// the checks with their focus, the package file name, the kind options and
// the remembered cabinet size.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "editing/gui/forms/RememberedValues.h"
#include "editing/gui/tests/WizardTestSupport.h"
#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::test {
namespace {

using gui::CCabWizSheet;

class InformationPageTest : public WizardTest {};

TEST_F(InformationPageTest, NextWaitsForAProductNameAndTypingWritesDescriptionAndComment) {
    startWizard();
    ASSERT_EQ(page(), CCabWizSheet::kInformationPage);
    EXPECT_FALSE(sheet->nextButton()->isEnabled());
    EXPECT_FALSE(sheet->backButton()->isEnabled());

    typeInto("productVersion", "1.2");
    QTest::keyClicks(find<QLineEdit>("productName"), "Too");
    EXPECT_TRUE(sheet->nextButton()->isEnabled());
    EXPECT_TRUE(sheet->nextButton()->isDefault());
    EXPECT_EQ(find<QLineEdit>("packageDescription")->text(), "Too Package.");
    EXPECT_EQ(find<QLineEdit>("comment")->text(), "Too Package [1.2]");
    QTest::keyClicks(find<QLineEdit>("productName"), "ls");
    EXPECT_EQ(find<QLineEdit>("packageDescription")->text(), "Tools Package.");
    EXPECT_EQ(find<QLineEdit>("comment")->text(), "Tools Package [1.2]");

    // A new version only rewrites what follows the bracket.
    find<QLineEdit>("comment")->setText("Our tools [beta] edition");
    typeInto("productVersion", "2.0");
    EXPECT_EQ(find<QLineEdit>("comment")->text(), "Our tools [2.0]");
    find<QLineEdit>("comment")->setText("No bracket");
    typeInto("productVersion", "3");
    EXPECT_EQ(find<QLineEdit>("comment")->text(), "No bracket");

    find<QLineEdit>("productName")->clear();
    EXPECT_FALSE(sheet->nextButton()->isEnabled());
}

TEST_F(InformationPageTest, ChecksRunInOrderWithTheirFocus) {
    startWizard();
    QApplication::setActiveWindow(sheet.get());
    typeInto("productName", QString(200, 'p'));
    typeInto("productVersion", QString(61, 'v'));
    find<QLineEdit>("companyName")->clear();
    find<QLineEdit>("packageDescription")->clear();

    struct Step {
        const char* message;
        const char* focus;
    };
    const Step steps[] = {
        {"The combined string length of Product Name and Product Version can not exceed 260 characters.",
         "companyName"},
        {"Company is a required entry.", "companyName"},
        {"Description is a required entry.", "packageDescription"},
    };
    for (const Step& step : steps) {
        ui.clear();
        next();
        ASSERT_EQ(page(), CCabWizSheet::kInformationPage) << step.message;
        ASSERT_EQ(ui.shown().size(), 1u);
        EXPECT_EQ(ui.shown()[0].text, step.message);
        EXPECT_EQ(QApplication::focusWidget(), find<QWidget>(step.focus)) << step.message;
        // Mend what this check found, so that the next one shows.
        if (step.message == steps[0].message) typeInto("productVersion", QString(60, 'v'));
        if (step.message == steps[1].message) {
            typeInto("companyName", "Acme");
            find<QLineEdit>("packageDescription")->clear();
        }
        if (step.message == steps[2].message) find<QLineEdit>("packageDescription")->setText("Described");
    }
    ui.clear();
    next();
    EXPECT_EQ(page(), CCabWizSheet::kTypePage);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(package->m_strProduct, std::string(200, 'p'));
    EXPECT_EQ(package->m_strVersion, std::string(60, 'v'));
    EXPECT_EQ(package->m_strDescription, "Described");
}

TEST_F(InformationPageTest, EmptyProductNameIsRefusedWithFocusOnIt) {
    startWizard();
    QApplication::setActiveWindow(sheet.get());
    typeInto("companyName", "Acme");
    typeInto("productName", "x");
    find<QLineEdit>("productName")->clear();
    find<QLineEdit>("packageDescription")->setText("Described");
    // Next is disabled; the check still guards a page that is stored anyway.
    EXPECT_FALSE(sheet->currentCabPage()->OnWizardNext());
    EXPECT_TRUE(ui.sawText("Product name is a required entry."));
    EXPECT_EQ(QApplication::focusWidget(), find<QWidget>("productName"));
}

// 253 characters pass the 260-character check but make a package file of 257:
// the page says so instead of the build failing at Finish.
TEST_F(InformationPageTest, ANameTooLongForTheFileSystemIsRefusedOnThePage) {
    startWizard();
    QApplication::setActiveWindow(sheet.get());
    typeInto("companyName", "Acme");
    typeInto("productVersion", "1");
    typeInto("productName", QString(253, 'p'));
    next();
    ASSERT_EQ(page(), CCabWizSheet::kInformationPage);
    ASSERT_EQ(ui.shown().size(), 1u);
    const std::string packageFile = (root() / (std::string(253, 'p') + ".pcp")).string();
    EXPECT_EQ(ui.shown()[0].text, "The package would make a file whose name is longer than the file system allows "
                                  "(255 bytes):\n\n" + packageFile + "\n\nPlease choose a shorter name.");
    EXPECT_EQ(QApplication::focusWidget(), find<QWidget>("productName"));

    // The outputs count too: a name that leaves no room for a numbered cabinet.
    ui.clear();
    typeInto("productName", QString(249, 'p'));
    next();
    ASSERT_EQ(page(), CCabWizSheet::kInformationPage);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_NE(ui.shown()[0].text.find(std::string(249, 'p') + "/" + std::string(249, 'p') + "9999.CAB"),
              std::string::npos);

    ui.clear();
    typeInto("productName", QString(240, 'p'));
    next();
    EXPECT_EQ(page(), CCabWizSheet::kTypePage);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(InformationPageTest, PackageFileTakesTheFirstFreeNumberInTheDataFolder) {
    makeFile("Tools.pcp");
    makeFile("Tools1.pcp");
    startWizard();
    passInformation("Tools");
    EXPECT_EQ(package->m_strPackageFile, (root() / "Tools2.pcp").string());

    startWizard();
    passInformation("Fresh");
    EXPECT_EQ(package->m_strPackageFile, (root() / "Fresh.pcp").string());

    // A separator in a product name never moves the file out of the data folder.
    startWizard();
    passInformation("../Escape");
    EXPECT_EQ(package->m_strPackageFile, (root() / ".._Escape.pcp").string());
}

TEST_F(InformationPageTest, DefaultsComeFromTheOrganisationThenTheInformationKeyThenTheLastPackage) {
    settings().writeString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                           "RegisteredOrganization", "Org Inc");
    startWizard();
    EXPECT_EQ(find<QLineEdit>("companyName")->text(), "Org Inc");
    EXPECT_EQ(find<QLineEdit>("copyright")->text(),
              QString::fromUtf8("Copyright © %1 Org Inc").arg(QDate::currentDate().year()));
    EXPECT_EQ(find<QLineEdit>("productVersion")->text(), "1,0,0,1");

    const std::string information = "HKEY_LOCAL_MACHINE\\" + std::string(gui::kInformationKey);
    settings().writeString(information, "Company", "Info Company");
    settings().writeString(information, "Copyright", "(C) Info");
    startWizard();
    EXPECT_EQ(find<QLineEdit>("companyName")->text(), "Info Company");
    EXPECT_EQ(find<QLineEdit>("copyright")->text(), "(C) Info");

    typeInto("productName", "Tools");
    typeInto("productVersion", "9.9");
    find<QLineEdit>("copyright")->setText("(C) Typed");
    next();
    ASSERT_EQ(page(), CCabWizSheet::kTypePage);
    EXPECT_EQ(settings().readString("Settings\\Package", "Company", ""), "Info Company");
    EXPECT_EQ(settings().readString("Settings\\Package", "Version", ""), "9.9");
    EXPECT_EQ(settings().readString("Settings\\Package", "Description", ""), "Tools Package.");
    EXPECT_EQ(settings().readString("Settings\\Package", "Comment", ""), "Tools Package [9.9]");
    EXPECT_FALSE(settings().contains("Settings\\Package", "Product"));

    // The next run offers what was typed, but never the product name.
    startWizard();
    EXPECT_EQ(find<QLineEdit>("copyright")->text(), "(C) Typed");
    EXPECT_EQ(find<QLineEdit>("productVersion")->text(), "9.9");
    EXPECT_EQ(find<QLineEdit>("comment")->text(), "Tools Package [9.9]");
    EXPECT_EQ(find<QLineEdit>("productName")->text(), "");
    EXPECT_FALSE(sheet->nextButton()->isEnabled());
}

TEST_F(InformationPageTest, FilledCompanyPassesTheFocusOnToTheProductOnce) {
    settings().writeString("Settings\\Package", "Company", "Acme");
    startWizard();
    QApplication::setActiveWindow(sheet.get());
    find<QLineEdit>("companyName")->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), find<QWidget>("productName"));
    find<QLineEdit>("companyName")->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), find<QWidget>("companyName"));
}

class TypePageTest : public WizardTest {};

TEST_F(TypePageTest, TypedSizeIsStoredRememberedAndShownGroupedInTheNextRun) {
    startWizard();
    passInformation();
    auto* size = find<QComboBox>("maximumSize");
    EXPECT_EQ(size->currentText(), "1,440,000");
    EXPECT_FALSE(size->isEnabled());
    find<QCheckBox>("singleFile")->click();
    EXPECT_TRUE(size->isEnabled());
    size->clearEditText();
    QTest::keyClicks(size, "3,000,000");
    next();
    EXPECT_EQ(package->m_nCabSize, 3000000);
    EXPECT_EQ(package->m_bCapSingle, 0);
    EXPECT_EQ(settings().readString("Settings\\Package", "CabSize", ""), "3000000");
    EXPECT_EQ(settings().readInt("Settings\\Package", "CapSingle", -1), 0);

    startWizard();
    passInformation();
    size = find<QComboBox>("maximumSize");
    EXPECT_EQ(size->currentText(), "3,000,000");
    EXPECT_GE(size->findText("3,000,000"), 0);
    EXPECT_GE(size->findText("20,800,000"), 0);
    EXPECT_EQ(package->m_nCabSize, 3000000);
    EXPECT_TRUE(size->isEnabled());
}

TEST_F(TypePageTest, OnlyAPlainCabinetScansForGuidsOrWritesAnInf) {
    startWizard();
    passInformation();
    auto* guid = find<QCheckBox>("scanGuid");
    auto* inf = find<QCheckBox>("createInf");
    auto* includeInf = find<QCheckBox>("includeInf");
    guid->click();
    ASSERT_TRUE(guid->isChecked());
    ASSERT_TRUE(inf->isChecked());
    EXPECT_TRUE(includeInf->isEnabled());
    inf->click();
    EXPECT_FALSE(includeInf->isEnabled());
    inf->click();

    find<QRadioButton>("cabSelfExtracting")->click();
    EXPECT_FALSE(guid->isChecked());
    EXPECT_FALSE(guid->isEnabled());
    EXPECT_FALSE(inf->isChecked());
    EXPECT_FALSE(inf->isEnabled());
    EXPECT_FALSE(includeInf->isEnabled());
    EXPECT_FALSE(find<QCheckBox>("includeMiniSetup")->isEnabled());
    EXPECT_TRUE(find<QCheckBox>("singleFile")->isEnabled());

    find<QRadioButton>("cabFile")->click();
    EXPECT_TRUE(guid->isEnabled());
    EXPECT_TRUE(inf->isEnabled());
    EXPECT_FALSE(guid->isChecked());
    EXPECT_FALSE(inf->isChecked());

    find<QRadioButton>("selfExtractingWizard")->click();
    EXPECT_TRUE(find<QCheckBox>("includeMiniSetup")->isEnabled());
    EXPECT_FALSE(find<QCheckBox>("singleFile")->isEnabled());
    EXPECT_FALSE(find<QComboBox>("maximumSize")->isEnabled());
    find<QCheckBox>("includeMiniSetup")->click();
    next();
    EXPECT_EQ(package->m_bCabWiz, 1);
    EXPECT_EQ(package->m_bCab, 0);
    EXPECT_EQ(package->m_bMiniSetup, 1);
    EXPECT_EQ(settings().readInt("Settings\\Package", "CabWiz", 0), 1);
    EXPECT_EQ(settings().readInt("Settings\\Package", "MiniSetup", 0), 1);
}

TEST_F(TypePageTest, LzxWindowIsChosenStoredInThePackageAndRememberedForTheNextOne) {
    startWizard();
    passInformation();
    auto* method = find<QComboBox>("compressionMethod");
    EXPECT_EQ(method->currentText(), "MSZIP");
    EXPECT_EQ(method->count(), 8);
    EXPECT_TRUE(method->isEnabled());
    find<QCheckBox>("useCompression")->click();
    EXPECT_FALSE(method->isEnabled());
    find<QCheckBox>("useCompression")->click();
    method->setCurrentIndex(method->findText("LZX, 256 KB window"));
    next();
    EXPECT_EQ(package->m_bCompression, 1);
    EXPECT_EQ(package->m_strReserved, "LZX:18");
    EXPECT_EQ(settings().readInt("Settings\\Package", "LZX Window", 0), 18);

    startWizard();
    passInformation();
    method = find<QComboBox>("compressionMethod");
    EXPECT_EQ(method->currentText(), "LZX, 256 KB window");
    method->setCurrentIndex(0);
    next();
    EXPECT_EQ(package->m_strReserved, "");
    EXPECT_EQ(settings().readInt("Settings\\Package", "LZX Window", -1), 0);
}

TEST_F(TypePageTest, MiniSetupIsStoredOnlyForTheWizardKind) {
    settings().writeInt("Settings\\Package", "MiniSetup", 1);
    startWizard();
    passInformation();
    EXPECT_TRUE(find<QCheckBox>("includeMiniSetup")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("includeMiniSetup")->isEnabled());
    next();
    EXPECT_EQ(package->m_bMiniSetup, 0);
    EXPECT_EQ(settings().readInt("Settings\\Package", "MiniSetup", -1), 0);
}

TEST_F(TypePageTest, BackReturnsToInformationWithoutStoring) {
    startWizard();
    passInformation();
    EXPECT_TRUE(sheet->backButton()->isEnabled());
    find<QRadioButton>("cabSelfExtracting")->click();
    back();
    EXPECT_EQ(page(), CCabWizSheet::kInformationPage);
    EXPECT_EQ(package->m_bCabSelf, 0);
    EXPECT_TRUE(sheet->nextButton()->isEnabled());
    EXPECT_FALSE(sheet->backButton()->isEnabled());
    EXPECT_FALSE(settings().contains("Settings\\Package", "CabSelf"));
    // Coming back shows the package again, not the abandoned choice.
    next();
    EXPECT_TRUE(find<QRadioButton>("cabFile")->isChecked());
}

}  // namespace
}  // namespace pcn::test
