#pragma once
// Work the user waits for, run on a thread of its own so that every window
// keeps repainting and answering: an application-modal note says what is
// going on and, when the work can be stopped, offers Cancel. Work that ends
// within a moment shows no note at all; the windows take no input meanwhile.

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

class QProgressDialog;
class QWidget;

namespace pcn::gui {

class BusyNote : public QObject {
    Q_OBJECT
public:
    BusyNote(QWidget* parent, const QString& title, const QString& text, int showAfterMs = 400);
    ~BusyNote() override;

    // Offers Cancel (or another button text), which calls stop on the UI
    // thread; run() returns once the work has seen it and ended.
    void setCancel(std::function<void()> stop, const QString& buttonText = {});

    // Runs work on its own thread and returns when it has ended.
    void run(const std::function<void()>& work);

    bool cancelled() const { return cancelled_; }

    // From the work's thread: a new text for the note.
    void postText(const QString& text);
    // From the work's thread: hides the note and returns once it is hidden
    // (before the work shows a message of its own).
    void hideFromWork();

    QProgressDialog& dialog() { return *dialog_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QProgressDialog* dialog_;
    int showAfterMs_;
    std::function<void()> stop_;
    std::atomic<bool> cancelled_{false};
    bool hidden_ = false;
};

}  // namespace pcn::gui
