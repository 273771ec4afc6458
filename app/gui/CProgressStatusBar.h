#pragma once
// The main window's status bar: the message pane, the lock-key panes, the
// optional date and time panes, and the progress meter that covers the
// message pane while some long piece of work reports its progress.

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include "app/core/ProgressSink.h"

namespace pcn::gui {

class CProgressStatusBar : public QStatusBar {
    Q_OBJECT
public:
    CProgressStatusBar(bool showDateAndTime, QWidget* parent = nullptr);

    // 0 starts a display, 1..100 sets the position, above 100 ends it.
    void setProgress(int value);
    bool inProgress() const { return inProgress_; }
    QProgressBar* progressMeter() const { return meter_; }

    // The message pane's text ("Ready" when idle).
    void setMessage(const QString& text);
    QString message() const { return messagePane_->text(); }

    // While a menu is open its items' help covers the whole bar.
    void coverPanesForMenuHelp(bool cover);

    // Date and time panes updated now (the timer does it every second).
    void updateDateAndTime();
    // Lock-key panes from the platform's modifier state of a key press.
    void updateLockKeys(quint32 nativeModifiers, int key);

    int paneCount() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeMeter();
    QLabel* addPane(const char* objectName, const QString& widestText);

    QLabel* messagePane_ = nullptr;
    QLabel* capPane_ = nullptr;
    QLabel* numPane_ = nullptr;
    QLabel* scrlPane_ = nullptr;
    QLabel* datePane_ = nullptr;
    QLabel* timePane_ = nullptr;
    QProgressBar* meter_ = nullptr;
    QTimer* clock_ = nullptr;
    bool inProgress_ = false;
    bool covered_ = false;
};

inline constexpr const char* kIdleMessage = "Ready";

}  // namespace pcn::gui
