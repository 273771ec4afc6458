#pragma once
// The error details dialog: a stop icon, a short main text, and a details box
// that the user opens with "&Details >>". Used modally by every part of the
// program that reports a system, file or transfer error.

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QFrame;

namespace pcn {

class CErrorDlg : public QDialog {
    Q_OBJECT
public:
    // General: the size used by most callers. SiblingCheck: the larger size
    // used for the list of missing program files at start-up.
    enum class Size { General, SiblingCheck };

    CErrorDlg(QWidget* owner, const QString& mainText, const QString& details, Size size = Size::General);

    bool isExpanded() const { return expanded_; }
    void setExpanded(bool expanded);

    // Dialog units to pixels in the dialog's font, the way resource layouts are measured.
    QSize dialogUnitsToPixels(int x, int y) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void toggleDetails();
    int neededHeight(int width) const;

    QLabel* icon_ = nullptr;
    QLabel* mainText_ = nullptr;
    QPlainTextEdit* details_ = nullptr;
    QPushButton* toggle_ = nullptr;
    QPushButton* close_ = nullptr;
    QFrame* etched_ = nullptr;
    QSize fullSize_;
    bool expanded_ = true;
    bool placed_ = false;
};

// CR LF and lone CR line ends as Qt widgets expect them.
QString toDisplayText(std::string_view text);

}  // namespace pcn
