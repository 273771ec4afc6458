#include "editing/gui/wizard/CCabWizPage.h"

#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn::gui {

CCabWizPage::CCabWizPage(CCabWizSheet& sheet, const QString& caption) : sheet_(sheet) {
    setTitle(caption);
}

CCabObj& CCabWizPage::package() const { return sheet_.package(); }

EditingContext& CCabWizPage::context() const { return sheet_.context(); }

int CCabWizPage::nextPageId() const {
    const int next = sheet_.currentId() >= 0 ? sheet_.pageIds().indexOf(sheet_.id(this)) + 1 : -1;
    return next > 0 && next < sheet_.pageIds().size() ? sheet_.pageIds().at(next) : -1;
}

int CCabWizPage::backPageId() const {
    const int previous = sheet_.pageIds().indexOf(sheet_.id(this)) - 1;
    return previous >= 0 ? sheet_.pageIds().at(previous) : -1;
}

bool CCabWizPage::validatePage() {
    // QWizard validates on every page change; only a move forward stores.
    return sheet_.isSkippingStore() || OnWizardNext();
}

void CCabWizPage::activate() {
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    OnSetActive();
}

}  // namespace pcn::gui
