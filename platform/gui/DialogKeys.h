#pragma once
// Where typing goes and what Enter does in every dialog of the program. A
// dialog opens with the focus in the first field of the page or tab in view,
// and each wizard page and sheet tab the user moves to does the same, so that
// a user can start typing at once. Enter presses the dialog's forward button
// (Next, Finish, OK), never Cancel or Back. Like the dialog fitter, this is
// done for every dialog of the application once installed; message boxes and
// file dialogs keep their own ways.

#include <QObject>

class QDialog;
class QPushButton;
class QWidget;

namespace pcn::gui {

// The first control in `container`'s tab order that takes typing or a
// choice: enabled, shown, reached by Tab, not a push button, a read-only
// text nor a text of several lines (where Enter breaks the line); of a
// group of radio buttons the checked one. nullptr when none.
QWidget* firstField(QWidget* container);

// The part of the dialog in view: a wizard's current page, the current tab
// of a sheet, or the dialog itself.
QWidget* pageInView(QDialog* dialog);

// The button Enter presses: a wizard's Next or Finish (whichever is shown
// and enabled), the accepting button of a button box, a button marked with
// markForwardButton; nullptr when none is enabled.
QPushButton* forwardButton(QDialog* dialog);

// Marks a button of a dialog's own making as its forward button (or no
// longer: a Close that becomes Cancel again).
void markForwardButton(QPushButton* button, bool forward = true);

class DialogKeys : public QObject {
    Q_OBJECT
public:
    static void install();
    static void uninstall();

    // Makes the forward button the default one, keeps Enter off Cancel and
    // Back, and puts the focus in the first field of the page in view unless
    // a field of that page has it already (a check that refused the page).
    static void settle(QDialog* dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit DialogKeys(QObject* parent) : QObject(parent) {}
    void follow(QDialog* dialog);
};

}  // namespace pcn::gui
