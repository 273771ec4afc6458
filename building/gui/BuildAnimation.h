#pragma once
// The pictures a build host plays while a build runs, chosen by the
// "Animation" setting: our own pictures that follow the build's two phases
// (files go into the press, the cabinet goes to its target), a looping
// "flying folders" film, or nothing. Both run on timers of the UI thread;
// the film's frames are drawn once and cycled in a label, as Qt reads
// animated images but cannot write them.

#include <QLabel>
#include <QPixmap>
#include <QPoint>
#include <QTimer>
#include <QVector>
#include <QWidget>

namespace pcn::gui {

enum class BuildAnimationMode { Custom = 0, Movie = 1, None = 2 };

// The mode of a stored "Animation" value; values outside 0..2 show nothing.
BuildAnimationMode buildAnimationMode(int settingValue);

// Mode 0. Phase 1, a step every 50 ms: a page moves from the source folder
// to the press, one pixel a step; there it vanishes and the press shows its
// five frames, 100 ms each. Phase 2, a step every 50 ms: the cabinet moves
// from the press to the target box, whose lid rises while the cabinet
// arrives; then the pieces go back and phase 1 starts again.
class BuildAnimationPictures : public QWidget {
    Q_OBJECT
public:
    enum class Phase { Stopped, PageToPress, Pressing, CabinetToTarget };

    explicit BuildAnimationPictures(QWidget* parent = nullptr);

    void start();
    // Puts the lid back and hides the moving pieces and the press.
    void stop();
    bool isRunning() const { return timer_.isActive(); }
    Phase phase() const { return phase_; }
    // Steps taken since start: the picture changes with every one.
    int steps() const { return steps_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void step();
    void restartPhaseOne();

    QTimer timer_;
    Phase phase_ = Phase::Stopped;
    int steps_ = 0;
    int pageX_ = 0;
    int pressFrame_ = -1;  // -1: the press at rest
    int cabinetX_ = 0;
    int lidLift_ = 0;
};

// Mode 1: the film, looped until stopped.
class BuildAnimationMovie : public QLabel {
    Q_OBJECT
public:
    explicit BuildAnimationMovie(QWidget* parent = nullptr);

    void start();
    void stop();
    bool isRunning() const { return timer_.isActive(); }
    int frameIndex() const { return frame_; }
    int frameCount() const { return int(frames_.size()); }

private:
    void showFrame(int index);

    QVector<QPixmap> frames_;
    QTimer timer_;
    int frame_ = 0;
};

}  // namespace pcn::gui
