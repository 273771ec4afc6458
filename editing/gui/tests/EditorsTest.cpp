// The project views reach the wizard through their hook.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/gui/PackageEditors.h"
#include "editing/gui/Editors.h"
#include "editing/gui/tests/EditingTestSupport.h"
#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn::test {
namespace {

class EditorsTest : public EditingTest {};

TEST_F(EditorsTest, NewPackageHookRunsTheWizardModally) {
    gui::PackageEditors editors;
    gui::InstallCabinetEditors(editors, context(), nullptr);
    ASSERT_TRUE(bool(editors.cabinetWizard));

    CCabObj package;
    QString shownPage;
    QTimer::singleShot(0, [&] {
        auto* sheet = qobject_cast<gui::CCabWizSheet*>(QApplication::activeModalWidget());
        ASSERT_NE(sheet, nullptr);
        shownPage = sheet->currentPage()->title();
        sheet->findChild<QLineEdit*>("productName")->setText("Hooked");
        sheet->cancelButton()->click();
    });
    EXPECT_EQ(editors.cabinetWizard(package), gui::WizardResult::Cancelled);
    EXPECT_EQ(shownPage, "Package Information");
    // Cancel stores nothing.
    EXPECT_EQ(package.m_strProduct, "");
}

}  // namespace
}  // namespace pcn::test
