#pragma once
// The picture the sending page plays while files go out: a file leaves the
// computer for the server one pixel every 40 ms, shrinks as it reaches the
// server (from two pixels before it), and starts again at full size once it
// has shrunk to nothing.

#include <QIcon>
#include <QTimer>
#include <QWidget>

namespace pcn::gui {

class SendAnimation : public QWidget {
    Q_OBJECT
public:
    explicit SendAnimation(QWidget* parent = nullptr);

    void start();
    void stop();
    bool isRunning() const { return timer_.isActive(); }
    int fileX() const { return fileX_; }
    int fileSize() const { return fileSize_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void step();
    int startX() const;
    int serverX() const;

    QTimer timer_;
    QIcon computer_, file_, server_;
    int fileX_ = 0;
    int fileSize_ = 0;
};

}  // namespace pcn::gui
