#include "distribution/gui/ftp/SendAnimation.h"

#include <QPainter>
#include <QStyle>

namespace pcn::gui {
namespace {
constexpr int kIcon = 32;
constexpr int kFile = 24;
constexpr int kStepMs = 40;
}  // namespace

SendAnimation::SendAnimation(QWidget* parent) : QWidget(parent) {
    setObjectName("sendAnimation");
    computer_ = style()->standardIcon(QStyle::SP_ComputerIcon);
    file_ = style()->standardIcon(QStyle::SP_FileIcon);
    server_ = style()->standardIcon(QStyle::SP_DriveNetIcon);
    timer_.setInterval(kStepMs);
    connect(&timer_, &QTimer::timeout, this, &SendAnimation::step);
}

QSize SendAnimation::sizeHint() const { return {kIcon * 8, kIcon + 8}; }

int SendAnimation::startX() const { return kIcon + 4; }
int SendAnimation::serverX() const { return width() - kIcon; }

void SendAnimation::start() {
    fileX_ = startX();
    fileSize_ = kFile;
    show();
    timer_.start();
}

void SendAnimation::stop() {
    timer_.stop();
    fileSize_ = 0;
    update();
}

void SendAnimation::step() {
    ++fileX_;
    if (fileX_ + fileSize_ >= serverX() - 2) --fileSize_;
    if (fileSize_ <= 0) {
        fileX_ = startX();
        fileSize_ = kFile;
    }
    update();
}

void SendAnimation::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int top = (height() - kIcon) / 2;
    computer_.paint(&painter, QRect(0, top, kIcon, kIcon));
    server_.paint(&painter, QRect(serverX(), top, kIcon, kIcon));
    if (fileSize_ > 0) file_.paint(&painter, QRect(fileX_, top + (kIcon - fileSize_) / 2, fileSize_, fileSize_));
}

}  // namespace pcn::gui
