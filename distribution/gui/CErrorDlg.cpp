#include "distribution/gui/CErrorDlg.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace pcn {
namespace {

constexpr const char* kExpandText = "&Details >>";
constexpr const char* kCollapseText = "<< &Details";

}  // namespace

QString toDisplayText(std::string_view text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

CErrorDlg::CErrorDlg(QWidget* owner, const QString& mainText, const QString& details, Size size)
    : QDialog(owner) {
    setObjectName("CErrorDlg");
    setWindowTitle("Error");
    setModal(true);

    icon_ = new QLabel(this);
    icon_->setObjectName("icon");
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this).pixmap(iconSize));
    icon_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    mainText_ = new QLabel(mainText, this);
    mainText_->setObjectName("mainText");
    mainText_->setTextFormat(Qt::PlainText);
    mainText_->setWordWrap(true);
    mainText_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    mainText_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    close_ = new QPushButton("Close", this);
    close_->setObjectName("closeButton");
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);

    toggle_ = new QPushButton(kExpandText, this);
    toggle_->setObjectName("detailsToggle");
    toggle_->setAutoDefault(false);
    toggle_->setEnabled(!details.isEmpty());
    connect(toggle_, &QPushButton::clicked, this, &CErrorDlg::toggleDetails);

    etched_ = new QFrame(this);
    etched_->setObjectName("etchedFrame");
    etched_->setFrameShape(QFrame::HLine);
    etched_->setFrameShadow(QFrame::Sunken);

    details_ = new QPlainTextEdit(this);
    details_->setObjectName("details");
    details_->setReadOnly(true);
    details_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    details_->setPlainText(details);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon_, 0, 0, 2, 1);
    layout->addWidget(mainText_, 0, 1, 2, 1);
    layout->addWidget(close_, 0, 2);
    layout->addWidget(toggle_, 1, 2, Qt::AlignTop);
    layout->addWidget(etched_, 2, 0, 1, 3);
    layout->addWidget(details_, 3, 0, 1, 3);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);
    layout->setRowStretch(3, 3);
    layout->setSizeConstraint(QLayout::SetNoConstraint);

    fullSize_ = size == Size::General ? dialogUnitsToPixels(237, 127) : dialogUnitsToPixels(256, 141);
    fullSize_ = fullSize_.expandedTo(layout->sizeHint());
    resize(fullSize_);
    setExpanded(false);
}

QSize CErrorDlg::dialogUnitsToPixels(int x, int y) const {
    const QFontMetrics fm(font());
    const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const int baseX = (fm.horizontalAdvance(alphabet) / 26 + 1) / 2;
    const int baseY = fm.height();
    return {x * baseX / 4, y * baseY / 8};
}

void CErrorDlg::setExpanded(bool expanded) {
    if (expanded && !toggle_->isEnabled()) return;
    expanded_ = expanded;
    etched_->setVisible(expanded);
    details_->setVisible(expanded);
    toggle_->setText(expanded ? kCollapseText : kExpandText);
    if (expanded) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(fullSize_);
    } else {
        // The part above the details box: the icon, the main text and the buttons.
        layout()->activate();
        const int height = std::max(layout()->minimumSize().height(), fullSize_.height() * 55 / 100);
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(fullSize_.width(), height);
    }
}

void CErrorDlg::toggleDetails() { setExpanded(!expanded_); }

void CErrorDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_) return;
    placed_ = true;
    QApplication::beep();
    centreOnOwner();
}

void CErrorDlg::centreOnOwner() {
    QRect area;
    if (QWidget* owner = parentWidget(); owner && owner->isVisible())
        area = owner->window()->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid()) move(area.center() - rect().center());
}

}  // namespace pcn
