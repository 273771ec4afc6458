#include "editing/gui/tests/WizardTestSupport.h"

#include <QLineEdit>
#include <QTest>

namespace pcn::test {

WizardTest::~WizardTest() {
    sheet.reset();
    package.reset();
}

void WizardTest::startWizard() {
    sheet.reset();
    package = std::make_unique<CCabObj>();
    sheet = std::make_unique<gui::CCabWizSheet>(*package, context());
    sheet->show();
}

void WizardTest::typeInto(const char* name, const QString& text) {
    QLineEdit* edit = find<QLineEdit>(name);
    edit->clear();
    QTest::keyClicks(edit, text);
}

void WizardTest::passInformation(const QString& product) {
    typeInto("companyName", "Acme");
    typeInto("productName", product);
    typeInto("productVersion", "2.4");
    next();
    ASSERT_EQ(page(), gui::CCabWizSheet::kTypePage);
}

}  // namespace pcn::test
