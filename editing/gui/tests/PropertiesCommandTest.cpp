// The package list's Properties command runs the property sheet on a working
// copy: Cancel leaves the listed package alone, OK copies the copy back,
// marks the package for a rebuild and saves its file.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/core/CPCNDoc.h"
#include "app/gui/CInfoView.h"
#include "app/gui/CPCNView.h"
#include "app/gui/Commands.h"
#include "app/gui/FileDialogs.h"
#include "editing/gui/Editors.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "editing/gui/tests/EditingTestSupport.h"
#include "platform/Paths.h"

namespace pcn::test {
namespace {

class NoFileDialogs : public gui::FileDialogs {
public:
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

// Renames the product on the sheet's first tab, then presses the button.
void renameOnTheSheet(const QString& product, bool ok) {
    QTimer::singleShot(0, [product, ok] {
        auto* sheet = qobject_cast<gui::CCabPropertySheet*>(QApplication::activeModalWidget());
        ASSERT_NE(sheet, nullptr);
        sheet->findChild<QLineEdit*>("productName")->setText(product);
        (ok ? sheet->okButton() : sheet->cancelButton())->click();
    });
}

class PropertiesCommandTest : public EditingTest {
protected:
    PropertiesCommandTest() : doc(&ui) {
        auto package = std::make_unique<CCabObj>();
        package->m_strCompany = "Tarnwick";
        package->m_strProduct = "Tool";
        package->m_strVersion = "1,0,0,1";
        package->m_strDescription = "Tool Package.";
        package->m_strProjectName = "Tool";
        package->m_strSourceFolder = root().string() + "/src/";
        package->m_strTargetFolder = root().string() + "/out/Tool";
        package->m_strPackageFile = root().string() + "/Tool.pcp";
        package->AddFile(makeFile("src/a.dll"));
        package->m_bSignature = 0;
        package->m_bRebuild = 0;
        package->m_timeBuilt = 1700000000;
        record = doc.AddPackage(std::move(package));
        view = std::make_unique<gui::CPCNView>(doc, settings(), ui, dialogs);
        view->fillList();
        gui::InstallCabinetEditors(view->editors(), context(), view.get());
        view->selectPackage(record);
    }
    CPCNDoc doc;
    NoFileDialogs dialogs;
    CCabObj* record = nullptr;
    std::unique_ptr<gui::CPCNView> view;
};

TEST_F(PropertiesCommandTest, CancelLeavesThePackageAndOkCopiesBackForARebuild) {
    ASSERT_TRUE(view->canRunCommand(gui::ID_PROJECT_PROPERTIES));
    renameOnTheSheet("Changed", false);
    view->runCommand(gui::ID_PROJECT_PROPERTIES);
    EXPECT_EQ(record->m_strProduct, "Tool");
    EXPECT_EQ(record->m_bRebuild, 0);
    EXPECT_FALSE(fileExists(record->m_strPackageFile));

    renameOnTheSheet("Renamed", true);
    view->runCommand(gui::ID_PROJECT_PROPERTIES);
    EXPECT_EQ(record->m_strProduct, "Renamed");
    EXPECT_EQ(record->m_bRebuild, 1);
    EXPECT_EQ(record->m_timeBuilt, 0);
    EXPECT_EQ(view->itemOf(record)->text(0), "Renamed (Cabinet)");
    auto saved = CPCNDoc::LoadPackage(record->m_strPackageFile);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->m_strProduct, "Renamed");
    EXPECT_EQ(saved->m_bRebuild, 1);
}

}  // namespace
}  // namespace pcn::test
