#pragma once
// Runs the cabinet wizard on a fresh package and drives it like a user:
// controls are found by their object names, Next and Back are clicked.

#include <QPushButton>
#include <QString>

#include <memory>

#include "editing/gui/tests/EditingTestSupport.h"
#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn::test {

class WizardTest : public EditingTest {
protected:
    ~WizardTest() override;

    // A new sheet on a new package (the settings store and data folder stay).
    void startWizard();
    template <typename T>
    T* find(const char* name) const {
        T* widget = sheet->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void typeInto(const char* name, const QString& text);
    void next() { sheet->nextButton()->click(); }
    void back() { sheet->backButton()->click(); }
    int page() const { return sheet->currentId(); }
    // Fills the Information page and moves on to the Type page.
    void passInformation(const QString& product = "Tools");

    std::unique_ptr<CCabObj> package;
    std::unique_ptr<gui::CCabWizSheet> sheet;
};

}  // namespace pcn::test
