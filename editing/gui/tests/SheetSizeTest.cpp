// The editors' windows open at the size their largest page needs and keep it:
// every tab caption in view without scroll arrows, no field narrower than its
// text, the wizard one size from page to page.
#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>

#include "editing/gui/options/CStdProperties.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "editing/gui/sheet/CabPropertyPages.h"
#include "editing/gui/tests/WizardTestSupport.h"
#include "model/CCabObj.h"
#include "platform/gui/DialogFit.h"

namespace pcn::test {
namespace {

using namespace gui;

class SheetSizeTest : public WizardTest {
protected:
    SheetSizeTest() { DialogFitter::install(&settings()); }
    ~SheetSizeTest() override { DialogFitter::uninstall(); }

    // Visits every tab: the sheet keeps the size it opened with, the tab bar
    // needs no scroll arrows and each visible line edit shows its whole text.
    void expectEveryTabFits(CPropertySheet& sheet) {
        sheet.show();
        QApplication::processEvents();
        const QSize opened = sheet.size();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE(opened.width(), screen.width());
        EXPECT_LE(opened.height(), screen.height());
        EXPECT_GE(opened.width(), sheet.sizeHint().width());
        EXPECT_GE(opened.height(), sheet.sizeHint().height());
        QTabBar* bar = sheet.tabs()->tabBar();
        for (int i = 0; i < sheet.pageCount(); ++i) {
            ASSERT_TRUE(sheet.setActivePage(i)) << i;
            QApplication::processEvents();
            EXPECT_EQ(sheet.size(), opened) << sheet.page(i)->caption().toStdString();
            EXPECT_LE(bar->sizeHint().width(), bar->width()) << sheet.page(i)->caption().toStdString();
            EXPECT_TRUE(bar->tabRect(sheet.pageCount() - 1).right() < bar->width());
            for (QLineEdit* edit : sheet.page(i)->findChildren<QLineEdit*>()) {
                if (!edit->isVisible()) continue;
                EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(edit->text()))
                    << edit->objectName().toStdString() << " on " << sheet.page(i)->caption().toStdString();
            }
        }
    }
};

TEST_F(SheetSizeTest, ThePropertySheetOpensAtItsLargestTabWithEveryCaptionInView) {
    CCabObj package;
    package.m_bCab = 0;
    package.m_bCabWiz = 1;
    package.SetKindFromFlags();
    package.m_bSignature = 0;
    package.m_strCompany = "Tarnwick Development";
    package.m_strProduct = "Widget Tools";
    package.m_strVersion = "1,0,0,1";
    package.m_strDescription = "Widget Tools Package.";
    package.m_strComment = "Widget Tools Package [1,0,0,1]";
    package.m_strProjectName = "WidgetTools";
    package.m_strSourceFolder = (root() / "src").string() + "/";
    package.m_strTargetFolder = (root() / "out" / "WidgetTools").string() + "/";
    package.AddFile(makeFile("src/widget.dll"));
    CCabPropertySheet sheet(package, context());
    AddCabPropertyPages(sheet);
    ASSERT_EQ(sheet.pageCount(), 8);
    sheet.setActivePage(0);
    expectEveryTabFits(sheet);
}

TEST_F(SheetSizeTest, TheOptionsSheetOpensWithItsAnimationTabWhole) {
    CStdProperties sheet(context());
    expectEveryTabFits(sheet);
}

TEST_F(SheetSizeTest, ASheetOpensAgainAtTheSizeTheUserGaveIt) {
    QSize given;
    {
        CStdProperties sheet(context());
        sheet.show();
        given = sheet.size() + QSize(60, 40);
        sheet.resize(given);
        sheet.reject();
    }
    CStdProperties again(context());
    again.show();
    EXPECT_EQ(again.size(), given);
}

TEST_F(SheetSizeTest, TheWizardKeepsOneSizeFromPageToPage) {
    startWizard();
    sheet->show();
    QApplication::processEvents();
    const QSize opened = sheet->size();
    passInformation("Widget Tools");
    QApplication::processEvents();
    EXPECT_EQ(sheet->size(), opened);
    next();  // to the Folder page
    QApplication::processEvents();
    EXPECT_EQ(page(), CCabWizSheet::kFolderPage);
    EXPECT_EQ(sheet->size(), opened);
}

}  // namespace
}  // namespace pcn::test
