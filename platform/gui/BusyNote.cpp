#include "platform/gui/BusyNote.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <thread>

namespace pcn::gui {

BusyNote::BusyNote(QWidget* parent, const QString& title, const QString& text, int showAfterMs)
    : dialog_(new QProgressDialog(text, QString(), 0, 0, parent)), showAfterMs_(showAfterMs) {
    dialog_->setObjectName("busyNote");
    dialog_->setWindowTitle(title);
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    // Shown by run() alone, however long the dialog lives.
    dialog_->setMinimumDuration(std::numeric_limits<int>::max());
    dialog_->hide();
}

BusyNote::~BusyNote() { delete dialog_; }

void BusyNote::setCancel(std::function<void()> stop, const QString& buttonText) {
    stop_ = std::move(stop);
    dialog_->setCancelButtonText(buttonText.isEmpty() ? tr("Cancel") : buttonText);
    connect(dialog_, &QProgressDialog::canceled, this, [this] {
        if (cancelled_.exchange(true)) return;
        dialog_->setLabelText(tr("Stopping..."));
        if (stop_) stop_();
    });
}

void BusyNote::run(const std::function<void()>& work) {
    // Until the note shows, clicks and keys would reach the window below,
    // whose data the work may be changing.
    qApp->installEventFilter(this);
    QTimer showLater;
    showLater.setSingleShot(true);
    connect(&showLater, &QTimer::timeout, this, [this] {
        if (!hidden_) dialog_->show();
    });
    showLater.start(showAfterMs_);

    QEventLoop loop;
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    showLater.stop();
    QCoreApplication::sendPostedEvents(this);
    dialog_->hide();
    qApp->removeEventFilter(this);
}

void BusyNote::postText(const QString& text) {
    QMetaObject::invokeMethod(this, [this, text] {
        if (!cancelled_) dialog_->setLabelText(text);
    }, Qt::QueuedConnection);
}

void BusyNote::hideFromWork() {
    QMetaObject::invokeMethod(this, [this] {
        hidden_ = true;
        dialog_->hide();
        qApp->removeEventFilter(this);
    }, Qt::BlockingQueuedConnection);
}

bool BusyNote::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel: {
            auto* widget = qobject_cast<QWidget*>(watched);
            return !(widget && (widget == dialog_ || dialog_->isAncestorOf(widget)));
        }
        default: return false;
    }
}

}  // namespace pcn::gui
