#include "platform/gui/BusyNote.h"

#include <QApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QProgressDialog>
#include <QTimer>

#include <thread>

namespace pcn::gui {
namespace {

// A line longer than this (a deep folder's path) is cut in the middle, so
// that the note keeps its size and its Cancel stays on the screen.
constexpr int kLongestLinePx = 600;

QString fitted(const QString& text, const QFontMetrics& metrics) {
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) line = metrics.elidedText(line, Qt::ElideMiddle, kLongestLinePx);
    return lines.join(u'\n');
}

}  // namespace

BusyNote::BusyNote(QWidget* parent, const QString& title, const QString& text, int showAfterMs)
    : dialog_(new QProgressDialog(text, QString(), 0, 0, parent)), showAfterMs_(showAfterMs) {
    dialog_->setObjectName("busyNote");
    dialog_->setLabelText(fitted(text, dialog_->fontMetrics()));
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
        if (hidden_) return;
        dialog_->show();
        // Shown by a timer, not by a click: the window manager may leave the
        // focus below, where keys are not taken, and Escape would not cancel.
        dialog_->raise();
        dialog_->activateWindow();
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
        if (!cancelled_) dialog_->setLabelText(fitted(text, dialog_->fontMetrics()));
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
