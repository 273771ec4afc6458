#include "platform/gui/WholeNames.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace pcn::gui {
namespace {

class WholeNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip || !index.isValid() || index.data(Qt::ToolTipRole).isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem shown = option;
        initStyleOption(&shown, index);
        if (!isCut(shown, view)) {
            QToolTip::hideText();
            return false;
        }
        QToolTip::showText(event->globalPos(), shown.text, view, option.rect);
        return true;
    }

private:
    static bool isCut(const QStyleOptionViewItem& shown, const QAbstractItemView* view) {
        const QStyle* style = view->style();
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &shown, view);
        // The style keeps a margin on either side of the text.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        return shown.fontMetrics.horizontalAdvance(shown.text) > textRect.width() - 2 * margin;
    }
};

}  // namespace

void showWholeNames(QAbstractItemView* view) {
    view->setTextElideMode(Qt::ElideMiddle);
    view->setItemDelegate(new WholeNameDelegate(view));
}

}  // namespace pcn::gui
