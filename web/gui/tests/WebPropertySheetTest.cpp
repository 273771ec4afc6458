// The web package property sheet on a working copy: saved OS choices stay,
// a changed component is scanned again when its tab is left (a failed scan
// does not stop the move), files are written only by an Inf Output tab that
// was shown; and the package list opens it for a web package.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "app/core/CPCNDoc.h"
#include "app/gui/CInfoView.h"
#include "app/gui/CPCNView.h"
#include "app/gui/Commands.h"
#include "app/gui/FileDialogs.h"
#include "model/PackageFile.h"
#include "platform/Paths.h"
#include "web/gui/WebEditors.h"
#include "web/gui/sheet/CWebPropSheet.h"
#include "web/gui/tests/WebTestSupport.h"
#include "web/scanner/DependencyScanner.h"

namespace pcn::test {
namespace {

namespace fs = std::filesystem;
using gui::CWebPropSheet;

class WebPropertySheetTest : public WebEditingTest {
protected:
    WebPropertySheetTest() {
        package.m_nKind = kKindWebInf;
        package.m_strProduct = "Plug";
        package.m_strProjectName = "Plug";
        package.m_strTargetFolder = (root() / "web" / "Plug").string();
        package.m_strPackageFile = (root() / "Plug.pcp").string();
        package.m_pWeb->SetComponentPath(elfPlugin());
        package.m_pWeb->m_bScan = 1;
        for (const char* name : {"/lib/a.so", "/lib/b.so"}) package.AddDependency(name);
        package.InsertDependency(0, elfPlugin());
        package.SetDependencyInclude(0, 1);
        package.SetDependencyOrigin(0, web::kOriginComponent);
        package.SetDependencyInclude(2, 1);
        package.SetDependencyOs(2, 2);  // Mac, chosen earlier
        package.SetDependencyCpu(2, 2);
    }
    void open() {
        sheet = std::make_unique<CWebPropSheet>(package, context());
        sheet->show();
    }
    template <typename T>
    T* find(const char* name) const { return child<T>(sheet.get(), name); }
    void click(const char* name) { find<QAbstractButton>(name)->click(); }
    void showTab(int index) { sheet->tabs()->setCurrentIndex(index); }
    bool written() const { return fs::exists(root() / "web" / "Plug" / "Plug.inf"); }

    CCabObj package;
    std::unique_ptr<CWebPropSheet> sheet;
};

TEST_F(WebPropertySheetTest, SavedOsChoicesStayAndOkWithoutTheInfTabWritesNothing) {
    open();
    EXPECT_EQ(sheet->windowTitle(), "Inf Properties");
    EXPECT_EQ(sheet->tabCaptions(),
              QStringList({"General Information", "Dependencies", "Dependencies OS Types", "Inf Output"}));
    showTab(1);
    ASSERT_EQ(sheet->currentPage(), sheet->page(1));
    EXPECT_EQ(find<QTreeWidget>("dependencyList")->topLevelItemCount(), 3);
    EXPECT_EQ(package.GetDependencyOs(2), 2);
    EXPECT_EQ(package.GetDependencyCount(), 3);  // nothing was scanned
    showTab(2);
    auto* osList = find<QTreeWidget>("osList");
    ASSERT_EQ(osList->topLevelItemCount(), 2);
    selectRow(osList, 1);
    EXPECT_TRUE(find<QCheckBox>("osMac")->isChecked());
    EXPECT_TRUE(find<QCheckBox>("cpuPpc")->isChecked());
    click("osWin32");
    EXPECT_EQ(package.GetDependencyOs(2), 1);
    EXPECT_TRUE(sheet->applyButton()->isEnabled());
    sheet->okButton()->click();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_FALSE(written());
}

TEST_F(WebPropertySheetTest, AChangedComponentIsScannedWhenTheTabIsLeftAndAFailedScanDoesNotStopTheMove) {
    open();
    const std::string broken = makeFile("Broken.ocx", 64, 'z');
    typeText(find<QLineEdit>("componentPath"), QString::fromStdString(broken));
    EXPECT_EQ(sheet->state().m_bRescan, 1);
    showTab(1);
    EXPECT_EQ(sheet->currentPage(), sheet->page(1));
    EXPECT_EQ(find<QLabel>("scanStatus")->text(), "Failed Scanning for Dependencies.");
    EXPECT_EQ(package.GetDependencyCount(), 0);
    EXPECT_EQ(sheet->state().m_bRescan, 1);
    // The file name and folder follow the new path.
    EXPECT_EQ(package.m_pWeb->m_strFileName, "Broken.ocx");
    EXPECT_EQ(find<QLabel>("dependenciesCaption")->text(), "Libraries loaded on behalf of Broken.ocx");

    ui.clear();
    showTab(0);
    typeText(find<QLineEdit>("componentPath"), QString::fromStdString(elfPlugin()));
    showTab(1);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(sheet->state().m_bRescan, 0);
    ASSERT_GT(package.GetDependencyCount(), 3);
    EXPECT_EQ(package.GetDependencyName(0), elfPlugin());
    EXPECT_EQ(find<QLabel>("scanStatus")->text(), "");
}

// A product name that would start lines of its own in the INF keeps the tab.
TEST_F(WebPropertySheetTest, AProductNameWithALineBreakKeepsTheTab) {
    open();
    find<QLineEdit>("productName")->setText("Plug\r\n[Add.Code]");
    showTab(1);
    EXPECT_EQ(sheet->currentPage(), sheet->page(0));
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_NE(ui.shown().back().text.find("line breaks"), std::string::npos) << ui.shown().back().text;
    EXPECT_EQ(package.m_strProduct, "Plug");
}

// Cancel while OK scans: the scan stops, the list is as it was and the sheet
// stays open on the first tab.
TEST_F(WebPropertySheetTest, CancelDuringTheScanStopsItAndKeepsTheSheetAndTheListAsTheyWere) {
    open();
    showTab(1);
    showTab(0);
    typeText(find<QLineEdit>("componentPath"), QString::fromStdString(std::string(PCN_TEST_BIN) + "/SlowComponent.so"));
    QTimer::singleShot(400, [&] {
        EXPECT_FALSE(sheet->okButton()->isEnabled());
        sheet->cancelButton()->click();
    });
    sheet->okButton()->click();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->currentPage(), sheet->page(0));
    EXPECT_EQ(find<QLabel>("scanStatus")->text(), "Scanning cancelled.");
    EXPECT_EQ(package.GetDependencyCount(), 3);
    EXPECT_EQ(package.GetDependencyOs(2), 2);
    EXPECT_EQ(sheet->state().m_bRescan, 1);
    EXPECT_EQ(web::StopLoaderHosts(), 0);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_TRUE(sheet->okButton()->isEnabled());
}

TEST_F(WebPropertySheetTest, ApplyWritesTheFilesOnceTheInfTabHasBeenShown) {
    open();
    click("htmTemplate");
    showTab(3);
    EXPECT_TRUE(find<QCheckBox>("viewHtmTemplate")->isEnabled());
    EXPECT_FALSE(written());
    sheet->applyButton()->click();
    EXPECT_TRUE(written());
    EXPECT_TRUE(fs::exists(root() / "web" / "Plug" / "Plug.htm"));
    EXPECT_EQ(package.m_pWeb->m_bHtmTemplate, 1);
}

class NoFileDialogs : public gui::FileDialogs {
public:
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

TEST_F(WebPropertySheetTest, PropertiesOfAWebPackageInTheListOpenTheWebSheet) {
    CPCNDoc doc(&ui);
    auto owned = std::make_unique<CCabObj>();
    owned->CopyFrom(package);
    owned->m_bRebuild = 1;
    CCabObj* record = doc.AddPackage(std::move(owned));
    NoFileDialogs dialogs;
    gui::CPCNView view(doc, settings(), ui, dialogs);
    view.fillList();
    gui::InstallWebEditors(view.editors(), context(), &view);
    view.selectPackage(record);
    EXPECT_EQ(view.itemOf(record)->text(0), "Plug (Web Inf Package)");
    ASSERT_TRUE(view.canRunCommand(gui::ID_PROJECT_PROPERTIES));

    QTimer::singleShot(0, [] {
        auto* opened = qobject_cast<CWebPropSheet*>(QApplication::activeModalWidget());
        ASSERT_NE(opened, nullptr);
        child<QLineEdit>(opened, "productName")->setText("Plug Two");
        opened->okButton()->click();
    });
    view.runCommand(gui::ID_PROJECT_PROPERTIES);
    EXPECT_EQ(record->m_strProduct, "Plug Two");
    EXPECT_EQ(record->m_bRebuild, 0);
    EXPECT_EQ(view.itemOf(record)->text(0), "Plug Two (Web Inf Package)");
    EXPECT_TRUE(fileExists(record->m_strPackageFile));
}

}  // namespace
}  // namespace pcn::test
