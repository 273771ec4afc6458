#include "platform/gui/DialogKeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QWizard>

namespace pcn::gui {
namespace {

constexpr const char* kForwardProperty = "pcnForwardButton";
constexpr const char* kFollowedProperty = "pcnKeysFollowed";

QPointer<DialogKeys>& installed() {
    static QPointer<DialogKeys> keys;
    return keys;
}

bool isLeftAlone(const QDialog* dialog) {
    return qobject_cast<const QMessageBox*>(dialog) || qobject_cast<const QFileDialog*>(dialog) ||
           qobject_cast<const QProgressDialog*>(dialog);
}

bool isReadOnlyText(const QWidget* widget) {
    if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->isReadOnly();
    if (auto* edit = qobject_cast<const QTextEdit*>(widget)) return edit->isReadOnly();
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) return edit->isReadOnly();
    return false;
}

bool takesTyping(const QWidget* widget, const QWidget* container) {
    return (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() && widget->isVisibleTo(container->window()) &&
           !widget->focusProxy() && !qobject_cast<const QPushButton*>(widget) &&
           !qobject_cast<const QTabBar*>(widget) && !isReadOnlyText(widget);
}

// In a text of several lines Enter writes a line break: such a box is not
// where a page starts, lest Enter meant for Next change the text.
bool isTextOfLines(const QWidget* widget) {
    return qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget);
}

bool isField(const QWidget* widget, const QWidget* container) {
    return takesTyping(widget, container) && !isTextOfLines(widget);
}

// Tab enters a group of radio buttons at its checked one.
QWidget* checkedOfGroup(QRadioButton* radio) {
    if (radio->isChecked() || !radio->autoExclusive() || !radio->parentWidget()) return radio;
    for (QRadioButton* sibling : radio->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
        if (sibling->isChecked() && sibling->autoExclusive() && sibling->isEnabled() && !sibling->isHidden())
            return sibling;
    return radio;
}

QList<QPushButton*> wizardButtons(QWizard* wizard) {
    QList<QPushButton*> buttons;
    for (int which = QWizard::BackButton; which < QWizard::NButtons; ++which)
        if (auto* button = qobject_cast<QPushButton*>(wizard->button(QWizard::WizardButton(which))))
            buttons << button;
    return buttons;
}

// The buttons along the dialog's edge: a wizard's, or those of its button boxes.
QList<QPushButton*> edgeButtons(QDialog* dialog) {
    if (auto* wizard = qobject_cast<QWizard*>(dialog)) return wizardButtons(wizard);
    QList<QPushButton*> buttons;
    for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>())
        for (QAbstractButton* button : box->buttons())
            if (auto* push = qobject_cast<QPushButton*>(button)) buttons << push;
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->property(kForwardProperty).toBool() && !buttons.contains(button)) buttons << button;
    return buttons;
}

bool isForward(QDialog* dialog, QPushButton* button) {
    if (button->property(kForwardProperty).toBool()) return true;
    if (auto* wizard = qobject_cast<QWizard*>(dialog))
        return button == wizard->button(QWizard::NextButton) || button == wizard->button(QWizard::CommitButton) ||
               button == wizard->button(QWizard::FinishButton);
    for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
        const QDialogButtonBox::ButtonRole role = box->buttonRole(button);
        if (role == QDialogButtonBox::AcceptRole || role == QDialogButtonBox::YesRole) return true;
    }
    return false;
}

// The outermost tab widget of the dialog.
QTabWidget* sheetTabs(QDialog* dialog) {
    for (QTabWidget* tabs : dialog->findChildren<QTabWidget*>()) {
        bool nested = false;
        for (QWidget* up = tabs->parentWidget(); up && up != dialog; up = up->parentWidget())
            nested = nested || qobject_cast<QTabWidget*>(up);
        if (!nested) return tabs;
    }
    return nullptr;
}

}  // namespace

QWidget* firstField(QWidget* container) {
    if (!container) return nullptr;
    for (QWidget* widget = container->nextInFocusChain(); widget && widget != container;
         widget = widget->nextInFocusChain()) {
        if (!container->isAncestorOf(widget) || !isField(widget, container)) continue;
        if (auto* radio = qobject_cast<QRadioButton*>(widget)) return checkedOfGroup(radio);
        return widget;
    }
    return nullptr;
}

QWidget* pageInView(QDialog* dialog) {
    if (auto* wizard = qobject_cast<QWizard*>(dialog))
        return wizard->currentPage() ? static_cast<QWidget*>(wizard->currentPage()) : dialog;
    // A sheet's own tabs, not a tab widget on one of its tabs.
    if (QTabWidget* tabs = sheetTabs(dialog); tabs && tabs->currentWidget()) return tabs->currentWidget();
    return dialog;
}

QPushButton* forwardButton(QDialog* dialog) {
    for (QPushButton* button : edgeButtons(dialog))
        if (isForward(dialog, button) && !button->isHidden()) return button;
    return nullptr;
}

void markForwardButton(QPushButton* button, bool forward) { button->setProperty(kForwardProperty, forward); }

void DialogKeys::install() {
    QPointer<DialogKeys>& keys = installed();
    if (keys) return;
    keys = new DialogKeys(qApp);
    qApp->installEventFilter(keys);
}

void DialogKeys::uninstall() {
    if (QPointer<DialogKeys>& keys = installed()) {
        qApp->removeEventFilter(keys);
        delete keys.data();
    }
}

void DialogKeys::settle(QDialog* dialog) {
    QPushButton* forward = forwardButton(dialog);
    // A button that is not the forward one never takes Enter, not even while
    // it has the focus (Space still presses it).
    for (QPushButton* button : edgeButtons(dialog)) {
        button->setAutoDefault(button == forward);
        button->setDefault(button == forward);
    }
    QWidget* page = pageInView(dialog);
    QWidget* focus = dialog->focusWidget();
    if (focus && page->isAncestorOf(focus) && isField(focus, page)) return;
    if (QWidget* field = firstField(page)) field->setFocus(Qt::TabFocusReason);
    else if (forward && forward->isEnabled()) forward->setFocus(Qt::TabFocusReason);
}

// Each page of a wizard and each tab of a sheet settles once the dialog has
// done its own work for the move (page activation, button states).
void DialogKeys::follow(QDialog* dialog) {
    if (dialog->property(kFollowedProperty).toBool()) return;
    dialog->setProperty(kFollowedProperty, true);
    QPointer<QDialog> guarded(dialog);
    auto settleLater = [guarded] {
        QTimer::singleShot(0, guarded, [guarded] {
            if (guarded && guarded->isVisible()) settle(guarded);
        });
    };
    if (auto* wizard = qobject_cast<QWizard*>(dialog))
        connect(wizard, &QWizard::currentIdChanged, dialog, settleLater);
    else if (QTabWidget* tabs = sheetTabs(dialog))
        connect(tabs, &QTabWidget::currentChanged, dialog, settleLater);
}

bool DialogKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isWindow() && !isLeftAlone(dialog)) {
            follow(dialog);
            settle(dialog);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pcn::gui
