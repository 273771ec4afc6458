#include "signing/gui/ToolProgressPage.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "building/gui/BuildAnimation.h"
#include "editing/gui/forms/FormSupport.h"
#include "signing/ToolRunner.h"
#include "platform/gui/Sounds.h"

namespace pcn::gui {

// Forwards the worker's reports to the page's thread. A report that arrives
// after the page is gone is dropped with it.
class ToolProgressPage::Host : public ToolHost {
public:
    explicit Host(ToolProgressPage* page) : page_(page) {}
    void setStatus(std::string_view text) override {
        post([text = QString::fromStdString(std::string(text))](ToolProgressPage& p) { p.showStatus(text); });
    }
    void appendOutput(std::string_view text) override {
        post([text = QString::fromStdString(std::string(text))](ToolProgressPage& p) { p.appendOutput(text); });
    }
    void finished(bool success) override {
        post([success](ToolProgressPage& p) { p.workerFinished(success); });
    }

private:
    template <typename F>
    void post(F f) {
        ToolProgressPage* page = page_;
        QMetaObject::invokeMethod(page, [page, f] { f(*page); }, Qt::QueuedConnection);
    }
    ToolProgressPage* page_;
};

ToolProgressPage::ToolProgressPage(const QString& title, const QString& group, const QString& initialStatus,
                                   QWidget* parent)
    : QWizardPage(parent), host_(std::make_unique<Host>(this)), initialStatus_(initialStatus) {
    setTitle(title);
    auto* box = new QGroupBox(group, this);
    icon_ = namedWidget(new QLabel(box), "icon");
    status_ = namedWidget(new QLabel(initialStatus, box), "status");
    status_->setWordWrap(true);
    output_ = namedWidget(new QPlainTextEdit(box), "output");
    output_->setReadOnly(true);
    // A tool's reason (a bad key, an unknown file type) is read in full, however long.
    output_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    animation_ = namedWidget(new BuildAnimationMovie(box), "animation");

    auto* grid = new QGridLayout(box);
    grid->addWidget(icon_, 0, 0, Qt::AlignTop);
    grid->addWidget(status_, 0, 1);
    grid->addWidget(animation_, 0, 2, Qt::AlignRight);
    grid->addWidget(output_, 1, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
}

ToolProgressPage::~ToolProgressPage() {
    stopWorker();
    restoreCursor();
}

void ToolProgressPage::setWork(ToolRunState& job, std::function<bool()> work) {
    job_ = &job;
    work_ = std::move(work);
}

void ToolProgressPage::initializePage() {
    setIcon(false);
    animation_->start();
    if (started_) return;
    started_ = true;
    QTimer::singleShot(100, this, &ToolProgressPage::startWorker);
}

// Back from a run that failed: the next Finish runs the job afresh.
void ToolProgressPage::cleanupPage() {
    stopWorker();
    restoreCursor();
    animation_->stop();
    started_ = false;
    ended_ = false;
    succeeded_ = false;
    output_->clear();
    status_->setText(initialStatus_);
}

void ToolProgressPage::startWorker() {
    if (!job_ || thread_ || ended_) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursor_ = true;
    job_->host = host_.get();
    thread_ = QThread::create([this] { work_(); });
    thread_->start(QThread::LowestPriority);
}

void ToolProgressPage::stopWorker() {
    if (!thread_) return;
    if (job_) job_->cancel();
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}

void ToolProgressPage::showStatus(const QString& text) { status_->setText(text); }

void ToolProgressPage::appendOutput(const QString& text) {
    // The jobs' texts carry Windows line ends; the box shows one line per line.
    QString lines = text;
    lines.remove(QLatin1Char('\r'));
    output_->moveCursor(QTextCursor::End);
    output_->insertPlainText(QStringLiteral("\n") + lines);
    output_->verticalScrollBar()->setValue(output_->verticalScrollBar()->maximum());
}

void ToolProgressPage::workerFinished(bool success) {
    if (thread_) {
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
    }
    ended_ = true;
    succeeded_ = success;
    restoreCursor();
    animation_->stop();
    setIcon(!success);
    playSound(success ? Sound::Information : Sound::Error);
    emit completeChanged();
    emit workerEnded(success);
}

void ToolProgressPage::setIcon(bool error) {
    const QStyle::StandardPixmap which = error ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxInformation;
    icon_->setPixmap(style()->standardIcon(which).pixmap(32, 32));
    icon_->setProperty("error", error);
}

void ToolProgressPage::restoreCursor() {
    if (!waitCursor_) return;
    waitCursor_ = false;
    QApplication::restoreOverrideCursor();
}

}  // namespace pcn::gui
