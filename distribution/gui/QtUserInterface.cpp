#include "distribution/gui/QtUserInterface.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "platform/gui/DialogFit.h"
#include "platform/gui/Sounds.h"

namespace pcn {
namespace {

// Runs f on the UI thread and waits for it; runs it in place when already there.
template <typename F>
void onUiThread(F&& f) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        f();
        return;
    }
    QMetaObject::invokeMethod(app, std::forward<F>(f), Qt::BlockingQueuedConnection);
}

QMessageBox::Icon toQtIcon(Icon icon) {
    switch (icon) {
        case Icon::Information: return QMessageBox::Information;
        case Icon::Warning: return QMessageBox::Warning;
        case Icon::Question: return QMessageBox::Question;
        case Icon::Error: return QMessageBox::Critical;
        case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQtButton(Answer answer, Buttons buttons) {
    if (buttons == Buttons::SaveDiscardCancel && answer == Answer::Yes) return QMessageBox::Save;
    if (buttons == Buttons::SaveDiscardCancel && answer == Answer::No) return QMessageBox::Discard;
    switch (answer) {
        case Answer::Ok: return QMessageBox::Ok;
        case Answer::Cancel: return QMessageBox::Cancel;
        case Answer::Yes: return QMessageBox::Yes;
        case Answer::No: return QMessageBox::No;
        case Answer::Retry: return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons toQtButtons(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok: return QMessageBox::Ok;
        case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Buttons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
        case Buttons::SaveDiscardCancel: return QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

Answer fromQtButton(int button, Buttons buttons) {
    switch (button) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Yes:
        case QMessageBox::Save: return Answer::Yes;
        case QMessageBox::Discard: return Answer::No;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Retry: return Answer::Retry;
        case QMessageBox::Cancel: return Answer::Cancel;
        default: break;
    }
    // Closed from the window manager: the answer that backs out.
    switch (buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::YesNo: return Answer::No;
        default: return Answer::Cancel;
    }
}

}  // namespace

QWidget* QtUserInterface::currentOwner() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (owner_) return owner_.data();
    return QApplication::activeWindow();
}

// Every message box carries the program's name as its title, so that the
// user sees whose message it is; the caption a caller gives ("Error",
// "Information") is already told by the icon.
Answer QtUserInterface::message(std::string_view text, std::string_view, Icon icon, Buttons buttons,
                                Answer defaultAnswer) {
    Answer answer = defaultAnswer;
    onUiThread([&] {
        QMessageBox box(toQtIcon(icon), QString::fromLatin1(kMessageTitle), gui::breakableText(toDisplayText(text)),
                        toQtButtons(buttons), currentOwner());
        box.setObjectName("messageBox");
        box.setTextFormat(Qt::PlainText);
        if (QAbstractButton* button = box.button(toQtButton(defaultAnswer, buttons)))
            box.setDefaultButton(qobject_cast<QPushButton*>(button));
        if (icon == Icon::Error || icon == Icon::Warning)
            gui::playSound(icon == Icon::Error ? gui::Sound::Error : gui::Sound::Warning);
        answer = fromQtButton(box.exec(), buttons);
    });
    return answer;
}

void QtUserInterface::errorDetails(std::string_view mainText, std::string_view details) {
    errorDetails(mainText, details, CErrorDlg::Size::General);
}

void QtUserInterface::errorDetails(std::string_view mainText, std::string_view details, CErrorDlg::Size size) {
    onUiThread([&] {
        CErrorDlg dialog(currentOwner(), toDisplayText(mainText), toDisplayText(details), size);
        dialog.exec();
    });
}

void QtUserInterface::errorDetails(std::string_view mainText, std::string_view details, const QString& caption) {
    onUiThread([&] {
        CErrorDlg dialog(currentOwner(), toDisplayText(mainText), toDisplayText(details));
        dialog.setWindowTitle(caption);
        dialog.exec();
    });
}

}  // namespace pcn
