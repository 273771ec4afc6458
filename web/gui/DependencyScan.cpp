#include "web/gui/DependencyScan.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <thread>

#include "distribution/UserInterface.h"
#include "model/CCabObj.h"
#include "web/scanner/DependencyScanner.h"

namespace pcn::gui {
namespace {

// Runs f on the UI thread and waits for it.
template <typename F>
void onUiThread(F&& f) {
    QMetaObject::invokeMethod(qApp, std::forward<F>(f), Qt::BlockingQueuedConnection);
}

// The scan's messages, shown on the UI thread; dropped once cancelled (the
// failure they would report is the cancel itself).
class WorkerUserInterface : public UserInterface {
public:
    WorkerUserInterface(UserInterface& ui, const std::atomic<bool>& cancelled) : ui_(ui), cancelled_(cancelled) {}

    Answer message(std::string_view text, std::string_view caption, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override {
        if (cancelled_) return defaultAnswer;
        Answer answer = defaultAnswer;
        onUiThread([&] { answer = ui_.message(text, caption, icon, buttons, defaultAnswer); });
        return answer;
    }
    void errorDetails(std::string_view mainText, std::string_view details) override {
        if (cancelled_) return;
        onUiThread([&] { ui_.errorDetails(mainText, details); });
    }

private:
    UserInterface& ui_;
    const std::atomic<bool>& cancelled_;
};

// Progress posted to the page's controls; the worker never waits for them.
class PostedProgress : public web::ScanProgress {
public:
    PostedProgress(QObject* context, QPointer<QLabel> status, QPointer<QProgressBar> progress)
        : context_(context), status_(std::move(status)), progress_(std::move(progress)) {}

    void setPosition(int position) override {
        QMetaObject::invokeMethod(context_, [bar = progress_, position] {
            if (bar) bar->setValue(position);
        }, Qt::QueuedConnection);
    }
    void setStatus(std::string_view text) override {
        QMetaObject::invokeMethod(context_, [label = status_, shown = QString::fromUtf8(text.data(), qsizetype(text.size()))] {
            if (label) label->setText(shown);
        }, Qt::QueuedConnection);
    }

private:
    QObject* context_;
    QPointer<QLabel> status_;
    QPointer<QProgressBar> progress_;
};

}  // namespace

DependencyScan::DependencyScan(QLabel* status, QProgressBar* progress, QObject* parent)
    : QObject(parent), status_(status), progress_(progress), stopHosts_(new QTimer(this)) {
    // A host started just after the cancel is ended too.
    stopHosts_->setInterval(100);
    connect(stopHosts_, &QTimer::timeout, [] { web::StopLoaderHosts(); });
}

DependencyScan::Outcome DependencyScan::run(CCabObj& definition, UserInterface& ui,
                                            const std::vector<QWidget*>& blocked) {
    std::vector<QPointer<QWidget>> disabled;
    for (QWidget* widget : blocked) {
        if (!widget || !widget->isEnabled()) continue;
        widget->setEnabled(false);
        disabled.emplace_back(widget);
    }
    running_ = true;
    cancelled_ = false;
    // A cancelled scan leaves the list as it was before.
    CWebObj before;
    before.CopyFrom(*definition.m_pWeb);

    QEventLoop loop;
    WorkerUserInterface workerUi(ui, cancelled_);
    PostedProgress progress(this, status_, progress_);
    bool scanned = false;
    std::thread worker([&] {
        scanned = web::ScanDependencies(definition, progress, workerUi);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    stopHosts_->stop();
    // What the worker posted last is shown before the outcome is.
    QCoreApplication::sendPostedEvents(this);

    running_ = false;
    for (const QPointer<QWidget>& widget : disabled)
        if (widget) widget->setEnabled(true);
    if (cancelled_) {
        definition.m_pWeb->CopyFrom(before);
        if (status_) status_->setText(tr(kCancelledText));
        if (progress_) progress_->setValue(0);
        return Outcome::Cancelled;
    }
    return scanned ? Outcome::Scanned : Outcome::Failed;
}

void DependencyScan::cancel() {
    if (!running_ || cancelled_) return;
    cancelled_ = true;
    web::StopLoaderHosts();
    stopHosts_->start();
}

}  // namespace pcn::gui
