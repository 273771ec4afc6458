// The wizard's Folder and Files pages as a user meets them: the project
// name filter and target, the checks, the conflict with an earlier project,
// the scan and when it is repeated, adding and removing files, destinations
// and registration, and where Next leads from the Files page.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "editing/gui/forms/FilesForm.h"
#include "editing/gui/forms/FolderForm.h"
#include "editing/gui/tests/WizardTestSupport.h"
#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::test {
namespace {

using gui::CCabWizSheet;

class FolderPageTest : public WizardTest {
protected:
    void toFolderPage(const QString& product = "Tools") {
        startWizard();
        passInformation(product);
        next();
        ASSERT_EQ(page(), CCabWizSheet::kFolderPage);
    }
    QString dataFolder() const { return QString::fromStdString(root().string()) + "/"; }
};

TEST_F(FolderPageTest, StartsFromTheLastSourceAndAFolderNamedAfterTheProduct) {
    settings().writeString("Settings\\Package", "SourceFolder", "/src/last/");
    settings().writeInt("Settings\\Package", "IncludeSubFolders", 1);
    toFolderPage("My Tools.NET");
    EXPECT_EQ(find<QLineEdit>("sourceFolder")->text(), "/src/last/");
    EXPECT_TRUE(find<QCheckBox>("includeSubDirs")->isChecked());
    EXPECT_EQ(find<QLineEdit>("projectName")->text(), "My ToolsNET");
    EXPECT_EQ(find<QLineEdit>("targetFolder")->text(), dataFolder() + "My ToolsNET");
    EXPECT_EQ(package->m_strProjectName, "My ToolsNET");
    EXPECT_TRUE(sheet->backButton()->isEnabled());
}

TEST_F(FolderPageTest, ProjectNameRefusesPathCharactersAndTheTargetFollowsIt) {
    toFolderPage();
    auto* name = find<QLineEdit>("projectName");
    auto* target = find<QLineEdit>("targetFolder");
    QSignalSpy beeps(sheet->findChild<gui::FolderForm*>(), &gui::FolderForm::projectNameRefused);

    name->setText("a.b:c");
    EXPECT_EQ(name->text(), "abc");
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(target->text(), dataFolder() + "Tools");  // not on the refused keystroke

    name->clear();
    QTest::keyClicks(name, "a.b:c/");
    EXPECT_EQ(name->text(), "abc");
    EXPECT_EQ(beeps.count(), 4);
    EXPECT_EQ(name->cursorPosition(), 3);
    EXPECT_EQ(target->text(), dataFolder() + "abc");

    // A refused character in the middle leaves the cursor where it was typed.
    name->setCursorPosition(1);
    QTest::keyClick(name, '\\');
    EXPECT_EQ(name->text(), "abc");
    EXPECT_EQ(name->cursorPosition(), 1);
    QTest::keyClick(name, 'X');
    EXPECT_EQ(name->text(), "aXbc");
    EXPECT_EQ(target->text(), dataFolder() + "aXbc");

    // A target without any separator is left alone.
    target->setText("nowhere");
    name->setText("other");
    EXPECT_EQ(target->text(), "nowhere");
}

TEST_F(FolderPageTest, ChecksRunInOrderAndTheTargetGetsItsSeparator) {
    makeFile("src/x.txt");
    toFolderPage();
    QApplication::setActiveWindow(sheet.get());
    find<QLineEdit>("sourceFolder")->clear();
    find<QLineEdit>("projectName")->clear();
    find<QLineEdit>("targetFolder")->clear();
    const std::pair<const char*, const char*> steps[] = {{"Source Directory required.", "sourceFolder"},
                                                         {"Project Name required.", "projectName"},
                                                         {"Target Folder required.", "targetFolder"}};
    for (const auto& [message, field] : steps) {
        ui.clear();
        next();
        ASSERT_EQ(page(), CCabWizSheet::kFolderPage);
        ASSERT_EQ(ui.shown().size(), 1u);
        EXPECT_EQ(ui.shown()[0].text, message);
        EXPECT_EQ(QApplication::focusWidget(), find<QWidget>(field)) << message;
        find<QLineEdit>(field)->setText(field == std::string("sourceFolder") ? dataFolder() + "src" : "Out");
    }
    find<QLineEdit>("targetFolder")->setText(dataFolder() + "out");
    find<QCheckBox>("includeSubDirs")->setChecked(true);
    ui.clear();
    next();
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(package->m_strTargetFolder, (dataFolder() + "out/").toStdString());
    EXPECT_EQ(package->m_strProjectName, "Out");
    EXPECT_EQ(package->m_strSourceFolder, (dataFolder() + "src").toStdString());
    EXPECT_EQ(package->m_bSubDirs, 1);
    EXPECT_EQ(settings().readString("Settings\\Package", "SourceFolder", ""), (dataFolder() + "src").toStdString());
    EXPECT_EQ(settings().readInt("Settings\\Package", "IncludeSubFolders", 0), 1);
}

TEST_F(FolderPageTest, AnExistingFirstOutputFileIsAConflict) {
    makeFile("Tools/Tools.CAB");
    makeFile("Tools/ToolsW.EXE");
    makeFile("src/x.txt");
    toFolderPage();
    find<QLineEdit>("sourceFolder")->setText(dataFolder() + "src");
    next();
    ASSERT_EQ(page(), CCabWizSheet::kFolderPage);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text,
              "A project with the same name already exists.\n\nPlease select another project name\n"
              "or remove the conflicting project.");
    EXPECT_EQ(ui.shown()[0].icon, Icon::Error);
    EXPECT_FALSE(settings().contains("Settings\\Package", "SourceFolder"));

    // A self-extracting cabinet's first output is Tools.EXE, which is free.
    back();
    find<QRadioButton>("cabSelfExtracting")->click();
    next();
    ui.clear();
    next();
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(page(), CCabWizSheet::kFilesPage);

    // The wizard's output is ToolsW.EXE, which is taken.
    back();
    back();
    find<QRadioButton>("selfExtractingWizard")->click();
    next();
    next();
    EXPECT_EQ(page(), CCabWizSheet::kFolderPage);
    EXPECT_TRUE(ui.sawText("A project with the same name already exists.\n\nPlease select another project name\n"
                           "or remove the conflicting project."));
}

TEST_F(FolderPageTest, BrowsingAddsASeparatorAndAsksForARescan) {
    toFolderPage();
    pickers.queue(dataFolder() + "picked");
    find<QPushButton>("browseSource")->click();
    EXPECT_EQ(find<QLineEdit>("sourceFolder")->text(), dataFolder() + "picked/");
    EXPECT_EQ(sheet->m_bRescan, 1);
    ASSERT_EQ(pickers.calls.size(), 1u);
    EXPECT_EQ(pickers.calls[0].kind, "folder");

    sheet->m_bRescan = 0;
    pickers.queue(dataFolder() + "target/");
    find<QPushButton>("browseTarget")->click();
    EXPECT_EQ(find<QLineEdit>("targetFolder")->text(), dataFolder() + "target/");
    EXPECT_EQ(sheet->m_bRescan, 0);

    // Cancel leaves the path as it was.
    find<QPushButton>("browseSource")->click();
    EXPECT_EQ(find<QLineEdit>("sourceFolder")->text(), dataFolder() + "picked/");
    EXPECT_EQ(pickers.calls.back().path, dataFolder() + "picked/");
}

class FilesPageTest : public FolderPageTest {
protected:
    void SetUp() override {
        makeFile("src/a.exe", 100);
        makeFile("src/b.dll", 20);
        makeFile("src/sub/c.txt", 3);
        makeFile("src/.hidden/d.txt", 4);
    }
    void toFilesPage(const char* kind = "cabFile") {
        startWizard();
        passInformation();
        find<QRadioButton>(kind)->click();
        next();
        find<QLineEdit>("sourceFolder")->setText(dataFolder() + "src/");
        next();
        ASSERT_EQ(page(), CCabWizSheet::kFilesPage);
        list = find<QTreeWidget>("fileList");
    }
    QStringList rows() const {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(0);
        return texts;
    }
    QStringList packageFiles() const {
        QStringList files;
        for (int i = 0; i < package->GetFileCount(); ++i) files << QString::fromStdString(package->GetFilePath(i));
        return files;
    }
    QString src(const char* name) const { return dataFolder() + "src/" + name; }
    void select(std::initializer_list<int> indexes) {
        list->clearSelection();
        for (int i : indexes) {
            list->setCurrentItem(list->topLevelItem(i), 0, QItemSelectionModel::Select);
        }
    }
    QTreeWidget* list = nullptr;
};

TEST_F(FilesPageTest, RescansOnlyWhenTheFolderOrTheSubFolderChoiceChanged) {
    toFilesPage();
    EXPECT_EQ(rows(), (QStringList{src("a.exe"), src("b.dll")}));
    EXPECT_EQ(packageFiles(), rows());
    EXPECT_EQ(package->m_nSourceSize, 120);
    EXPECT_EQ(list->headerItem()->text(0), "Package File List");

    const QString extra = QString::fromStdString(makeFile("elsewhere/e.ocx", 7));
    settings().writeInt("Settings\\Add Files", "Last Index", 2);
    pickers.queueFiles({extra}, 4);
    find<QPushButton>("addFiles")->click();
    ASSERT_EQ(pickers.calls.size(), 1u);
    EXPECT_EQ(pickers.calls[0].path, src(""));
    EXPECT_EQ(pickers.calls[0].number, 2);
    EXPECT_EQ(settings().readInt("Settings\\Add Files", "Last Index", 0), 4);
    EXPECT_EQ(rows(), (QStringList{src("a.exe"), src("b.dll"), extra}));
    EXPECT_EQ(package->m_nSourceSize, 120);

    // Back and forth without changes keeps the hand-added file.
    back();
    ASSERT_EQ(page(), CCabWizSheet::kFolderPage);
    next();
    ASSERT_EQ(page(), CCabWizSheet::kFilesPage);
    EXPECT_EQ(rows(), (QStringList{src("a.exe"), src("b.dll"), extra}));
    EXPECT_EQ(packageFiles(), rows());

    // The sub-folder choice alone rescans (folders starting with "." stay out).
    back();
    find<QCheckBox>("includeSubDirs")->click();
    next();
    EXPECT_EQ(rows(), (QStringList{src("a.exe"), src("b.dll"), src("sub/c.txt")}));
    EXPECT_EQ(package->m_nSourceSize, 123);

    // So does the same folder chosen again with Browse.
    pickers.queueFiles({extra});
    find<QPushButton>("addFiles")->click();
    back();
    pickers.queue(dataFolder() + "src");
    find<QPushButton>("browseSource")->click();
    next();
    EXPECT_EQ(rows(), (QStringList{src("a.exe"), src("b.dll"), src("sub/c.txt")}));
    EXPECT_EQ(sheet->m_bRescan, 0);
}

TEST_F(FilesPageTest, RemoveTakesRowsFilesAndSizesAway) {
    toFilesPage();
    select({0, 1});
    find<QPushButton>("removeFiles")->click();
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(package->GetFileCount(), 0);
    EXPECT_EQ(package->m_nSourceSize, 0);

    back();
    find<QCheckBox>("includeSubDirs")->click();
    next();
    select({1});
    find<QPushButton>("removeFiles")->click();
    EXPECT_EQ(rows(), (QStringList{src("a.exe"), src("sub/c.txt")}));
    EXPECT_EQ(packageFiles(), rows());
    EXPECT_EQ(package->m_nSourceSize, 103);

    // The property sheet's way: the total stays as it is.
    sheet->findChild<gui::FilesForm*>()->removeAdjustsSourceSize = false;
    select({0});
    find<QPushButton>("removeFiles")->click();
    EXPECT_EQ(rows(), (QStringList{src("sub/c.txt")}));
    EXPECT_EQ(package->m_nSourceSize, 103);
}

TEST_F(FilesPageTest, WizardFilesGetDestinationsAndRegistration) {
    toFilesPage("selfExtractingWizard");
    auto* dest = find<QComboBox>("destination");
    auto* reg = find<QCheckBox>("registerComponent");
    EXPECT_FALSE(dest->isEnabled());
    EXPECT_FALSE(reg->isEnabled());
    EXPECT_FALSE(find<QWidget>("destinationLabel")->isEnabled());

    select({0, 1});
    EXPECT_TRUE(dest->isEnabled());
    EXPECT_TRUE(reg->isEnabled());
    EXPECT_EQ(dest->currentText(), "%DESTDIR%");
    reg->click();
    EXPECT_EQ(package->GetFileRegister(0), "1");
    EXPECT_EQ(package->GetFileRegister(1), "1");
    dest->setCurrentIndex(dest->findText("%SYSTEM%"));
    emit dest->textActivated("%SYSTEM%");
    EXPECT_EQ(package->GetFileDest(0), "%SYSTEM%");
    EXPECT_EQ(package->GetFileDest(1), "%SYSTEM%");

    select({1});
    dest->lineEdit()->selectAll();
    QTest::keyClicks(dest->lineEdit(), "%TEMP%\\cache");
    EXPECT_EQ(package->GetFileDest(1), "%TEMP%\\cache");
    EXPECT_EQ(package->GetFileDest(0), "%SYSTEM%");
    reg->click();
    EXPECT_EQ(package->GetFileRegister(1), "0");
    EXPECT_EQ(package->GetFileRegister(0), "1");

    select({0});
    EXPECT_EQ(dest->currentText(), "%SYSTEM%");
    EXPECT_TRUE(reg->isChecked());

    // A row the file table no longer has.
    package->RemoveFile(1);
    select({1});
    EXPECT_TRUE(ui.sawText("Invalid Count --- 1"));
}

TEST_F(FilesPageTest, OtherKindsKeepEveryFileInTheInstallFolder) {
    toFilesPage("cabSelfExtracting");
    select({0});
    EXPECT_FALSE(find<QComboBox>("destination")->isEnabled());
    EXPECT_FALSE(find<QCheckBox>("registerComponent")->isEnabled());
}

TEST_F(FilesPageTest, NextLeadsByKindAndStaysWhenThatPageIsMissing) {
    toFilesPage();
    gui::CCabWizPage* files = sheet->currentCabPage();
    struct Case {
        int cab, self, wiz, signature, inf, expected;
    };
    const Case cases[] = {
        {1, 0, 0, 1, 1, CCabWizSheet::kSignaturePage}, {1, 0, 0, 0, 1, CCabWizSheet::kInfPage},
        {1, 0, 0, 0, 0, CCabWizSheet::kSummaryPage},   {0, 1, 0, 1, 0, CCabWizSheet::kSignaturePage},
        {0, 1, 0, 0, 1, CCabWizSheet::kSummaryPage},   {0, 0, 1, 1, 0, CCabWizSheet::kUserOptionsPage},
    };
    for (const Case& c : cases) {
        package->m_bCab = c.cab;
        package->m_bCabSelf = c.self;
        package->m_bCabWiz = c.wiz;
        package->m_bSignature = c.signature;
        package->m_bCreateInf = c.inf;
        EXPECT_EQ(files->nextPageId(), c.expected) << c.cab << c.self << c.wiz << c.signature << c.inf;
    }
    EXPECT_EQ(files->backPageId(), CCabWizSheet::kFolderPage);
    if (!sheet->page(files->nextPageId())) {
        next();
        EXPECT_EQ(page(), CCabWizSheet::kFilesPage);
    }
}

// A source folder that is not there is refused at every Next, not only the
// first, and so is a file list left empty: either would build a package
// without files.
TEST_F(FilesPageTest, AMissingFolderAndAnEmptyListAreRefusedAtEveryNext) {
    startWizard();
    passInformation();
    next();
    QApplication::setActiveWindow(sheet.get());
    find<QLineEdit>("sourceFolder")->setText(dataFolder() + "missing/");
    for (int attempt = 1; attempt <= 2; ++attempt) {
        next();
        ASSERT_EQ(page(), CCabWizSheet::kFolderPage) << attempt;
        ASSERT_EQ(ui.shown().size(), size_t(attempt));
        EXPECT_EQ(ui.shown().back().text,
                  ("The source folder does not exist or is not a folder:\n\n" + dataFolder() + "missing/").toStdString());
        EXPECT_EQ(QApplication::focusWidget(), find<QWidget>("sourceFolder"));
    }

    find<QLineEdit>("sourceFolder")->setText(dataFolder() + "src/");
    next();
    ASSERT_EQ(page(), CCabWizSheet::kFilesPage);
    list = find<QTreeWidget>("fileList");
    select({0, 1});
    find<QPushButton>("removeFiles")->click();
    ui.clear();
    for (int attempt = 1; attempt <= 2; ++attempt) {
        next();
        ASSERT_EQ(page(), CCabWizSheet::kFilesPage) << attempt;
        ASSERT_EQ(ui.shown().size(), size_t(attempt));
        EXPECT_EQ(ui.shown().back().text, "The package has no files.");
    }

    pickers.queueFiles({src("a.exe")});
    find<QPushButton>("addFiles")->click();
    next();
    EXPECT_NE(page(), CCabWizSheet::kFilesPage);
}

}  // namespace
}  // namespace pcn::test
