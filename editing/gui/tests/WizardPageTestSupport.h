#pragma once
// A wizard on a package of the test's own, opened on the page under test.

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

#include "editing/gui/tests/EditingTestSupport.h"
#include "editing/gui/wizard/CCabWizPage.h"
#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn::test {

class WizardPageTest : public EditingTest {
protected:
    // Makes the package a Self Extracting Wizard (the kind that visits every page).
    void makeWizardKind() {
        package.m_bCab = 0;
        package.m_bCabSelf = 0;
        package.m_bCabWiz = 1;
        package.m_bCreateInf = 0;
    }
    void makeKind(int32_t kind) {
        package.m_bCab = kind == kKindCabinet;
        package.m_bCabSelf = kind == kKindSelfExtractingCabinet;
        package.m_bCabWiz = kind == kKindSelfExtractingWizard;
    }

    // Opens the wizard on the page; the page is initialised and activated.
    gui::CCabWizSheet& openAt(int pageId) {
        sheet = std::make_unique<gui::CCabWizSheet>(package, context());
        sheet->setStartId(pageId);
        sheet->show();
        return *sheet;
    }
    template <typename Page>
    Page* page(int pageId) const {
        return qobject_cast<Page*>(sheet->page(pageId));
    }
    template <typename W>
    W* control(const char* name) const {
        return sheet->currentPage()->findChild<W*>(name);
    }

    // Runs handle on the next modal dialog that opens, once it is showing.
    static void whenModalOpens(std::function<void(QWidget*)> handle) {
        QTimer::singleShot(0, [handle] {
            if (QWidget* modal = QApplication::activeModalWidget()) handle(modal);
        });
    }

    CCabObj package;
    std::unique_ptr<gui::CCabWizSheet> sheet;
};

}  // namespace pcn::test
