#include "building/gui/BuildAnimation.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace pcn::gui {
namespace {

constexpr int kStepMs = 50;
constexpr int kPressFrameMs = 100;
constexpr int kPressFrames = 5;
constexpr int kFilmFrames = 16;
constexpr int kFilmFrameMs = 70;

// Where the pieces stand in the picture strip.
constexpr QRect kFolder(8, 16, 32, 32);
constexpr QSize kPage(16, 20);
constexpr int kPageY = 22;
constexpr int kPageStartX = kFolder.right() + 4;
constexpr QRect kPress(140, 10, 40, 44);
constexpr QSize kCabinet(28, 22);
constexpr int kCabinetY = 30;
constexpr int kCabinetStartX = kPress.right() + 4;
constexpr QRect kTarget(262, 28, 44, 28);
constexpr int kLidLiftMax = 14;

void drawFolder(QPainter& p, const QRect& r, const QColor& colour) {
    p.setPen(colour.darker(170));
    p.setBrush(colour);
    QPainterPath tab;
    tab.addRoundedRect(QRectF(r.x(), r.y(), r.width() * 0.45, r.height() * 0.3), 2, 2);
    p.drawPath(tab);
    p.drawRoundedRect(QRectF(r.x(), r.y() + r.height() * 0.18, r.width(), r.height() * 0.82), 2, 2);
}

void drawPage(QPainter& p, const QRect& r) {
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawRect(r);
    for (int y = r.top() + 4; y < r.bottom() - 2; y += 4) p.drawLine(r.left() + 3, y, r.right() - 3, y);
}

// The press closes on frames 0..2 and opens again on 3..4.
void drawPress(QPainter& p, int frame) {
    p.setPen(QColor(60, 60, 70));
    p.setBrush(QColor(150, 155, 165));
    p.drawRect(kPress);
    static constexpr int kGap[kPressFrames] = {16, 10, 4, 10, 16};
    const int gap = frame < 0 ? 18 : kGap[frame];
    const int middle = kPress.center().y();
    p.setBrush(QColor(90, 95, 110));
    p.drawRect(kPress.left() + 4, kPress.top() + 4, kPress.width() - 8, middle - gap / 2 - kPress.top() - 4);
    p.drawRect(kPress.left() + 4, middle + gap / 2, kPress.width() - 8, kPress.bottom() - 4 - middle - gap / 2);
}

void drawCabinet(QPainter& p, const QRect& r) {
    p.setPen(QColor(100, 60, 20));
    p.setBrush(QColor(190, 130, 60));
    p.drawRect(r);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.drawText(r, Qt::AlignCenter, "CAB");
}

void drawTarget(QPainter& p, int lidLift) {
    p.setPen(QColor(40, 70, 40));
    p.setBrush(QColor(90, 150, 90));
    p.drawRect(kTarget);
    p.setBrush(QColor(70, 125, 70));
    p.drawRect(kTarget.left() - 2, kTarget.top() - 6 - lidLift, kTarget.width() + 4, 6);
}

// One frame of the film: a sheet flies on an arc from the left folder to the right one.
QPixmap filmFrame(int index) {
    QPixmap frame(220, 64);
    frame.fill(Qt::transparent);
    QPainter p(&frame);
    p.setRenderHint(QPainter::Antialiasing);
    drawFolder(p, QRect(8, 20, 40, 34), QColor(240, 200, 80));
    drawFolder(p, QRect(172, 20, 40, 34), QColor(240, 200, 80));
    const double t = double(index) / kFilmFrames;
    const double x = 40 + t * 130;
    const double y = 34 - std::sin(t * M_PI) * 28;
    p.translate(x, y);
    p.rotate(-20 + t * 40);
    drawPage(p, QRect(-8, -10, 16, 20));
    return frame;
}

}  // namespace

BuildAnimationMode buildAnimationMode(int settingValue) {
    switch (settingValue) {
        case 0: return BuildAnimationMode::Custom;
        case 1: return BuildAnimationMode::Movie;
        default: return BuildAnimationMode::None;
    }
}

BuildAnimationPictures::BuildAnimationPictures(QWidget* parent) : QWidget(parent) {
    setObjectName("animationPictures");
    setMinimumSize(sizeHint());
    connect(&timer_, &QTimer::timeout, this, &BuildAnimationPictures::step);
}

QSize BuildAnimationPictures::sizeHint() const { return {kTarget.right() + 10, 64}; }

void BuildAnimationPictures::start() {
    steps_ = 0;
    restartPhaseOne();
    timer_.start(kStepMs);
}

void BuildAnimationPictures::restartPhaseOne() {
    phase_ = Phase::PageToPress;
    pageX_ = kPageStartX;
    pressFrame_ = -1;
    cabinetX_ = kCabinetStartX;
    lidLift_ = 0;
    timer_.setInterval(kStepMs);
    update();
}

void BuildAnimationPictures::stop() {
    timer_.stop();
    phase_ = Phase::Stopped;
    lidLift_ = 0;
    update();
}

void BuildAnimationPictures::step() {
    ++steps_;
    switch (phase_) {
        case Phase::PageToPress:
            if (++pageX_ + kPage.width() >= kPress.left()) {
                phase_ = Phase::Pressing;
                pressFrame_ = 0;
                timer_.setInterval(kPressFrameMs);
            }
            break;
        case Phase::Pressing:
            if (++pressFrame_ >= kPressFrames) {
                pressFrame_ = -1;
                pageX_ = kPageStartX;
                phase_ = Phase::CabinetToTarget;
                timer_.setInterval(kStepMs);
            }
            break;
        case Phase::CabinetToTarget:
            ++cabinetX_;
            if (cabinetX_ + kCabinet.width() > kTarget.left() - 4 && lidLift_ < kLidLiftMax) ++lidLift_;
            if (cabinetX_ > kTarget.left() + 4) restartPhaseOne();
            break;
        case Phase::Stopped: break;
    }
    update();
}

void BuildAnimationPictures::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    drawFolder(p, kFolder, QColor(240, 200, 80));
    drawTarget(p, lidLift_);
    if (phase_ == Phase::Stopped) return;
    drawPress(p, pressFrame_);
    if (phase_ == Phase::PageToPress) drawPage(p, QRect(QPoint(pageX_, kPageY), kPage));
    if (phase_ == Phase::CabinetToTarget) drawCabinet(p, QRect(QPoint(cabinetX_, kCabinetY), kCabinet));
}

BuildAnimationMovie::BuildAnimationMovie(QWidget* parent) : QLabel(parent) {
    setObjectName("animationMovie");
    for (int i = 0; i < kFilmFrames; ++i) frames_.push_back(filmFrame(i));
    setAlignment(Qt::AlignCenter);
    setMinimumSize(frames_.front().size());
    showFrame(0);
    connect(&timer_, &QTimer::timeout, this, [this] { showFrame((frame_ + 1) % frameCount()); });
}

void BuildAnimationMovie::start() {
    showFrame(0);
    timer_.start(kFilmFrameMs);
}

void BuildAnimationMovie::stop() { timer_.stop(); }

void BuildAnimationMovie::showFrame(int index) {
    frame_ = index;
    setPixmap(frames_.at(index));
}

}  // namespace pcn::gui
