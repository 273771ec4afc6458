// The whole way a user goes: New Package in the package list runs the
// wizard through every page of a Cabinet package, the Build page builds it,
// Close adds it to the project; Rebuild Package then builds it again
// in the Re-Build Project dialog. Checked on disk: the package file, the
// cabinet (cabextract) and the summary document.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <functional>

#include "app/core/CPCNDoc.h"
#include "app/gui/CMainFrame.h"
#include "app/gui/Commands.h"
#include "app/gui/tests/GuiTestSupport.h"
#include "building/gui/BuildHostPanel.h"
#include "building/gui/CRebuildProjectDlg.h"
#include "building/gui/tests/BuildGuiTestSupport.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/Editors.h"
#include "editing/gui/tests/EditingTestSupport.h"
#include "editing/gui/wizard/CCabWizPageBuild.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "model/PackageFile.h"

namespace pcn::test {
namespace {

namespace fs = std::filesystem;
using gui::CCabWizSheet;

constexpr int kTimeoutMs = 60000;

template <typename T>
T& control(QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(name);
    if (!widget) throw std::runtime_error(std::string("no control ") + name);
    return *widget;
}

class WizardEndToEndTest : public GuiTest {
protected:
    WizardEndToEndTest() : context{settings(), ui_, pickers} {}

    void startWithEditors() {
        ASSERT_EQ(start(), -1);
        gui::InstallCabinetEditors(app().listView()->editors(), context, app().frame());
        app().listView()->editors().rebuildDialog = [this](CCabObj& package) {
            gui::RunRebuildDialog(package, ui_, settings(), app().frame());
        };
        app().frame()->updateCommandUi();
    }
    std::string source() const { return root_ + "src/"; }
    void writeSource(const std::string& relative, size_t size, char fill) {
        const fs::path path = source() + relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << std::string(size, fill);
    }

    ScriptedPickers pickers;
    gui::EditingContext context;
};

TEST_F(WizardEndToEndTest, NewCabinetPackageThroughEveryPageIsBuiltAddedAndRebuilt) {
    writeSource("readme.txt", 12000, 'r');
    writeSource("bin/tool.dat", 40000, 't');
    startWithEditors();

    std::vector<int> pagesSeen;
    bool built = false;
    whenModal<CCabWizSheet>([&](CCabWizSheet& sheet) {
        pagesSeen.push_back(sheet.currentId());
        control<QLineEdit>(sheet, "companyName").setText("Acme Software");
        control<QLineEdit>(sheet, "productName").setText("Acme Tools");
        control<QLineEdit>(sheet, "productVersion").setText("1,0,0,1");
        sheet.nextButton()->click();
        pagesSeen.push_back(sheet.currentId());
        control<QRadioButton>(sheet, "cabFile").click();
        control<QCheckBox>(sheet, "addSignature").setChecked(false);
        control<QCheckBox>(sheet, "createInf").setChecked(false);
        sheet.nextButton()->click();
        pagesSeen.push_back(sheet.currentId());
        control<QLineEdit>(sheet, "sourceFolder").setText(QString::fromStdString(source()));
        control<QCheckBox>(sheet, "includeSubDirs").setChecked(true);
        control<QLineEdit>(sheet, "projectName").setText("AcmeTools");
        sheet.nextButton()->click();
        pagesSeen.push_back(sheet.currentId());
        sheet.nextButton()->click();
        pagesSeen.push_back(sheet.currentId());
        sheet.finishButton()->click();  // the Summary page's Finish starts the build
        pagesSeen.push_back(sheet.currentId());
        auto* page = qobject_cast<gui::CCabWizPageBuild*>(sheet.currentPage());
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !page->panel()->isBuilding(); }, kTimeoutMs));
        built = sheet.m_bBuildFailed == 0;
        ASSERT_EQ(sheet.finishButton()->text(), "&Close");
        sheet.finishButton()->click();
    });
    app().frame()->runCommand(gui::ID_FILE_NEW_PACKAGE);

    EXPECT_EQ(pagesSeen, (std::vector<int>{CCabWizSheet::kInformationPage, CCabWizSheet::kTypePage,
                                           CCabWizSheet::kFolderPage, CCabWizSheet::kFilesPage,
                                           CCabWizSheet::kSummaryPage, CCabWizSheet::kBuildPage}));
    ASSERT_TRUE(built);
    ASSERT_EQ(app().doc().m_listPackages.size(), 1u);
    CCabObj& added = *app().doc().m_listPackages.back();
    EXPECT_EQ(added.m_nKind, kKindCabinet);
    EXPECT_EQ(added.m_bRebuild, 0);
    EXPECT_EQ(added.m_bNewPackage, 0);
    EXPECT_EQ(added.GetFileCount(), 2);
    EXPECT_EQ(added.m_strPackageFile, dataDir() + "Acme Tools.pcp");
    ASSERT_TRUE(fs::exists(added.m_strPackageFile));
    const std::string target = added.m_strTargetFolder;
    std::string why;
    EXPECT_TRUE(cabextractAccepts(fs::path(target) / "AcmeTools.CAB", &why)) << why;
    EXPECT_TRUE(fs::exists(fs::path(target) / "AcmeTools.doc"));
    std::unique_ptr<CCabObj> saved = LoadPackage(added.m_strPackageFile);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->m_strProjectName, "AcmeTools");
    EXPECT_EQ(saved->m_bRebuild, 0);

    // Rebuild Package on the listed package, through the real dialog.
    app().listView()->selectPackage(&added);
    added.m_timeBuilt = 0;
    ui_.queueAnswer(Answer::Yes);
    bool rebuilt = false;
    whenModal<gui::CRebuildProjectDlg>([&](gui::CRebuildProjectDlg& dialog) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.panel()->isBuilding(); }, kTimeoutMs));
        rebuilt = dialog.succeeded();
        EXPECT_EQ(dialog.cancelButton()->text(), "Close");
        dialog.cancelButton()->click();
    });
    app().frame()->runCommand(gui::ID_PROJECT_REBUILD);
    EXPECT_TRUE(rebuilt);
    EXPECT_TRUE(ui_.sawText("Rebuild Project:\t\n\nAcme Tools"));
    EXPECT_NE(added.m_timeBuilt, 0);
    saved = LoadPackage(added.m_strPackageFile);
    ASSERT_NE(saved, nullptr);
    EXPECT_NE(saved->m_timeBuilt, 0);  // the view saved what the build wrote
    EXPECT_TRUE(cabextractAccepts(fs::path(target) / "AcmeTools.CAB", &why)) << why;
}

}  // namespace
}  // namespace pcn::test
