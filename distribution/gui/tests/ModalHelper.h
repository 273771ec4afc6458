#pragma once
// Lets a test act on a modal dialog that the code under test opens and waits
// for: the action runs from the event loop once the dialog is up.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace pcn::test {

// Calls action(dialog) for the next modal widget that appears (polling the
// event loop); gives up after timeoutMs. Returns a flag that tells whether it ran.
inline std::shared_ptr<bool> onNextModal(std::function<void(QWidget*)> action, int timeoutMs = 5000) {
    auto ran = std::make_shared<bool>(false);
    auto timer = new QTimer(qApp);
    auto waited = std::make_shared<int>(0);
    QWidget* before = QApplication::activeModalWidget();
    QObject::connect(timer, &QTimer::timeout, [=] {
        *waited += 10;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != before && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            *ran = true;
            action(modal);
        } else if (*waited > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
    return ran;
}

}  // namespace pcn::test
