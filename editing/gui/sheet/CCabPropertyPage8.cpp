#include "editing/gui/sheet/CCabPropertyPage8.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "building/CabInfWriter.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/InfForm.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"

namespace pcn::gui {

CCabPropertyPage8::CCabPropertyPage8(CCabPropertySheet& sheet) : CCabPropertyPage(sheet, tr("Inf File")) {
    setObjectName("CCabPropertyPage8");
    form_ = new InfForm(this);
    form_->rebuildButton()->show();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
}

QPlainTextEdit* CCabPropertyPage8::infEdit() const { return form_->editor(); }

QPushButton* CCabPropertyPage8::rebuildButton() const { return form_->rebuildButton(); }

void CCabPropertyPage8::OnInitDialog() {
    connect(form_->rebuildButton(), &QPushButton::clicked, this, &CCabPropertyPage8::OnRebuildInf);
    connect(form_, &InfForm::modified, this, &CCabPropertyPage8::noteChange);

    if (!package().m_bCreateInf) return;
    const bool existed = fileExists(CabInfFilePath(package()));
    const std::optional<std::string> text = LoadCabInfForPage(package(), context().ui);
    loaded_ = true;
    if (!text) return;
    form_->setInfText(*text);
    // A missing file that the user chose to rebuild is a change to apply.
    if (!existed && !text->empty()) SetModified();
}

void CCabPropertyPage8::OnSetActive() {
    const bool createInf = package().m_bCreateInf != 0;
    infEdit()->setEnabled(createInf);
    rebuildButton()->setEnabled(createInf);
}

void CCabPropertyPage8::OnRebuildInf() {
    form_->setInfText(GenerateCabInfText(package()));
    SetModified();
}

bool CCabPropertyPage8::OnApply() {
    // Without an INF file to keep (Create Cabinet INF File off when the tab
    // opened, nothing typed since) the empty edit must not replace the file
    // or the stored text.
    if (!loaded_ && !isModified()) return true;
    SaveCabInfFromPage(package(), form_->infText(), context().ui);
    return true;
}

}  // namespace pcn::gui
