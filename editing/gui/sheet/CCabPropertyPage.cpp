#include "editing/gui/sheet/CCabPropertyPage.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "editing/gui/sheet/CCabPropertySheet.h"

namespace pcn::gui {

CCabPropertyPage::CCabPropertyPage(CCabPropertySheet& sheet, const QString& caption)
    : CPropertyPage(sheet, caption), sheet_(sheet) {}

CCabObj& CCabPropertyPage::package() const { return sheet_.package(); }

EditingContext& CCabPropertyPage::context() const { return sheet_.context(); }

void CCabPropertyPage::noteChange() {
    if (!loading_) SetModified();
}

void CCabPropertyPage::markModifiedOnChange(std::initializer_list<QWidget*> controls) {
    for (QWidget* control : controls) {
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            connect(edit, &QLineEdit::textChanged, this, &CCabPropertyPage::noteChange);
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            connect(button, &QAbstractButton::clicked, this, &CCabPropertyPage::noteChange);
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            connect(combo, &QComboBox::currentIndexChanged, this, &CCabPropertyPage::noteChange);
            if (combo->isEditable()) connect(combo, &QComboBox::editTextChanged, this, &CCabPropertyPage::noteChange);
        } else if (auto* text = qobject_cast<QPlainTextEdit*>(control)) {
            connect(text, &QPlainTextEdit::textChanged, this, &CCabPropertyPage::noteChange);
        }
    }
}

}  // namespace pcn::gui
