#pragma once
// The last page of the signing and trust-check wizards: the status line, the
// tools' output line by line as they print it, the film and an icon. 100 ms
// after it is first shown it runs the wizard's worker once, at the lowest
// priority; the worker reaches the page only through queued calls. Stopping
// ends the running tool's whole process group and waits for the worker,
// which then ends by itself: no thread is ever killed half-way.

#include <QPointer>
#include <QString>
#include <QWizardPage>

#include <functional>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QThread;

namespace pcn {
struct ToolRunState;
}

namespace pcn::gui {

class BuildAnimationMovie;

class ToolProgressPage : public QWizardPage {
    Q_OBJECT
public:
    ToolProgressPage(const QString& title, const QString& group, const QString& initialStatus,
                     QWidget* parent = nullptr);
    ~ToolProgressPage() override;

    QLabel* status() const { return status_; }
    QPlainTextEdit* output() const { return output_; }
    BuildAnimationMovie* animation() const { return animation_; }
    QLabel* icon() const { return icon_; }

    // What the page runs: work() on the worker thread, reporting through the
    // job, whose host becomes this page.
    void setWork(ToolRunState& job, std::function<bool()> work);

    bool isRunning() const { return thread_ != nullptr; }
    bool hasEnded() const { return ended_; }
    bool succeeded() const { return succeeded_; }

    void initializePage() override;
    void cleanupPage() override;
    bool isComplete() const override { return ended_; }

    // Ends the running tool and waits until the worker has ended.
    void stopWorker();

signals:
    // On the UI thread, once the worker has ended.
    void workerEnded(bool success);

private:
    class Host;

    void startWorker();
    void showStatus(const QString& text);
    void appendOutput(const QString& text);
    void workerFinished(bool success);
    void setIcon(bool error);
    void restoreCursor();

    QLabel* status_;
    QPlainTextEdit* output_;
    BuildAnimationMovie* animation_;
    QLabel* icon_;
    ToolRunState* job_ = nullptr;
    std::function<bool()> work_;
    std::unique_ptr<Host> host_;
    QString initialStatus_;
    QThread* thread_ = nullptr;
    bool started_ = false;
    bool ended_ = false;
    bool succeeded_ = false;
    bool waitCursor_ = false;
};

}  // namespace pcn::gui
