#include "app/gui/CProgressStatusBar.h"

#include <QLayout>
#include <QThread>

#include <ctime>

namespace pcn::gui {
namespace {

// Modifier bits of the X11 key state that carry the lock keys.
constexpr quint32 kX11CapsLock = 0x02;
constexpr quint32 kX11NumLock = 0x10;

QString formatNow(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[128];
    const size_t n = std::strftime(buffer, sizeof buffer, format, &local);
    return QString::fromLocal8Bit(buffer, static_cast<qsizetype>(n));
}

}  // namespace

CProgressStatusBar::CProgressStatusBar(bool showDateAndTime, QWidget* parent) : QStatusBar(parent) {
    setObjectName("statusBar");
    messagePane_ = new QLabel(kIdleMessage, this);
    messagePane_->setObjectName("messagePane");
    messagePane_->setMinimumWidth(1);
    addWidget(messagePane_, 1);

    capPane_ = addPane("capPane", "CAP");
    numPane_ = addPane("numPane", "NUM");
    scrlPane_ = addPane("scrlPane", "SCRL");
    if (showDateAndTime) {
        datePane_ = addPane("datePane", {});
        timePane_ = addPane("timePane", {});
        clock_ = new QTimer(this);
        clock_->setObjectName("dateTimeTimer");
        clock_->setInterval(1000);
        connect(clock_, &QTimer::timeout, this, &CProgressStatusBar::updateDateAndTime);
        clock_->start();
        updateDateAndTime();
    }

    meter_ = new QProgressBar(this);
    meter_->setObjectName("progressMeter");
    meter_->setRange(0, 100);
    meter_->setValue(0);
    meter_->setTextVisible(false);
    meter_->setGeometry(0, 0, 0, 0);
    meter_->hide();
}

QLabel* CProgressStatusBar::addPane(const char* objectName, const QString& widestText) {
    auto* pane = new QLabel(this);
    pane->setObjectName(objectName);
    pane->setAlignment(Qt::AlignCenter);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    if (!widestText.isEmpty())
        pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(widestText) + 2 * pane->frameWidth() + 8);
    addPermanentWidget(pane);
    return pane;
}

int CProgressStatusBar::paneCount() const { return datePane_ ? 6 : 4; }

void CProgressStatusBar::setMessage(const QString& text) { messagePane_->setText(text.isEmpty() ? kIdleMessage : text); }

void CProgressStatusBar::coverPanesForMenuHelp(bool cover) {
    if (cover == covered_) return;
    covered_ = cover;
    for (QLabel* pane : {capPane_, numPane_, scrlPane_, datePane_, timePane_})
        if (pane) pane->setVisible(!cover);
    if (!cover) setMessage({});
}

void CProgressStatusBar::updateDateAndTime() {
    if (!datePane_) return;
    for (auto [pane, format] : {std::pair{datePane_, "%x"}, std::pair{timePane_, "%X"}}) {
        const QString text = formatNow(format);
        if (pane->text() == text) continue;
        pane->setText(text);
        pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(text) + 2 * pane->frameWidth() + 8);
    }
}

void CProgressStatusBar::updateLockKeys(quint32 nativeModifiers, int key) {
    capPane_->setText(nativeModifiers & kX11CapsLock ? "CAP" : QString());
    numPane_->setText(nativeModifiers & kX11NumLock ? "NUM" : QString());
    // Scroll Lock is no modifier in the key state: follow its presses.
    if (key == Qt::Key_ScrollLock) scrlPane_->setText(scrlPane_->text().isEmpty() ? "SCRL" : QString());
}

void CProgressStatusBar::placeMeter() { meter_->setGeometry(messagePane_->geometry().adjusted(2, 2, -2, -2)); }

void CProgressStatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    if (inProgress_) placeMeter();
}

void CProgressStatusBar::setProgress(int value) {
    if (value == kProgressStart) {
        inProgress_ = true;
        setEnabled(false);
        if (layout()) layout()->activate();
        placeMeter();
        meter_->setValue(0);
        meter_->show();
        meter_->raise();
    }
    if (value >= 0 && value <= 100) {
        meter_->setValue(value);
        repaint();
        QThread::msleep(20);
        return;
    }
    if (value > 100) {
        repaint();
        QThread::msleep(200);
        setEnabled(true);
        meter_->setValue(value);
        meter_->setGeometry(0, 0, 0, 0);
        meter_->hide();
        meter_->setValue(0);
        inProgress_ = false;
    }
}

}  // namespace pcn::gui
