#include "distribution/gui/CErrorDlg.h"

#include <QApplication>

#include <algorithm>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "platform/gui/DialogFit.h"
#include "platform/gui/Sounds.h"

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
    // The dialog has a collapsed and an expanded size of its own.
    setProperty(gui::DialogFitter::kFitsItself, true);

    icon_ = new QLabel(this);
    icon_->setObjectName("icon");
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this).pixmap(iconSize));
    icon_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    mainText_ = new QLabel(gui::breakableText(mainText), this);
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

    // The resource's size, wider when the texts ask for it, never wider than a message may be.
    fullSize_ = size == Size::General ? dialogUnitsToPixels(237, 127) : dialogUnitsToPixels(256, 141);
    fullSize_.setWidth(std::min(std::max(fullSize_.width(), layout->sizeHint().width()), gui::messageWidthLimit(owner)));
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
    // Collapsed, the dialog is just the part above the details box: the
    // icon, the (wrapped) main text and the buttons.
    const int height = expanded ? std::max(fullSize_.height(), neededHeight(fullSize_.width()))
                                : neededHeight(fullSize_.width());
    resize(fullSize_.width(), height);
}

int CErrorDlg::neededHeight(int width) const {
    layout()->invalidate();
    layout()->activate();
    const int forWidth = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width) : -1;
    return forWidth > 0 ? forWidth : layout()->totalSizeHint().height();
}

void CErrorDlg::toggleDetails() { setExpanded(!expanded_); }

void CErrorDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_) return;
    placed_ = true;
    gui::playSound(gui::Sound::Error);
    gui::centreOn(this, parentWidget());
}

}  // namespace pcn
