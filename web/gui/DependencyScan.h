#pragma once
// The dependency scan as the first page of the web sheets runs it: on a
// worker thread, so that the window keeps repainting while the loader host
// loads the component, with the page's progress bar and status text kept up
// to date and a Cancel that ends the host at once. Messages the scan shows
// are shown on the UI thread; once the user has cancelled, none are shown.

#include <QObject>
#include <QPointer>

#include <atomic>
#include <vector>

class QLabel;
class QProgressBar;
class QTimer;
class QWidget;

namespace pcn {
class CCabObj;
class UserInterface;
}  // namespace pcn

namespace pcn::gui {

class DependencyScan : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Scanned, Failed, Cancelled };

    DependencyScan(QLabel* status, QProgressBar* progress, QObject* parent = nullptr);

    // Runs the scan sequence on the definition and returns when it has
    // ended; the given widgets are disabled meanwhile. Failed leaves the
    // failure text in the status and the list empty; Cancelled leaves the
    // list as it was before the scan.
    Outcome run(CCabObj& definition, UserInterface& ui, const std::vector<QWidget*>& blocked);

    bool running() const { return running_; }
    // Stops a running scan: its loader host is ended, run() returns Cancelled.
    void cancel();

    // Shown in the status text after a cancelled scan.
    static constexpr const char* kCancelledText = "Scanning cancelled.";

private:
    QPointer<QLabel> status_;
    QPointer<QProgressBar> progress_;
    QTimer* stopHosts_;
    bool running_ = false;
    std::atomic<bool> cancelled_{false};
};

}  // namespace pcn::gui
