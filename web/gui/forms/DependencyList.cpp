#include "web/gui/forms/DependencyList.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

#include "model/CCabObj.h"
#include "web/gui/DependencyImages.h"
#include "platform/gui/WholeNames.h"

namespace pcn::gui {
namespace {

constexpr int kScrollBarRoom = 18;
constexpr int kEntryRole = Qt::UserRole;

// Keeps the list's one column as wide as its client area less room for a
// vertical scroll bar.
class ColumnFitter : public QObject {
public:
    explicit ColumnFitter(QTreeWidget* list) : QObject(list), list_(list) { list->viewport()->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            const int width = std::min(list_->contentsRect().width() - kScrollBarRoom, list_->viewport()->width());
            list_->setColumnWidth(0, std::max(0, width));
        }
        return false;
    }

private:
    QTreeWidget* list_;
};

int entryOf(const QTreeWidgetItem* item) { return item->data(0, kEntryRole).toInt(); }

}  // namespace

void SetUpDependencyList(QTreeWidget* list, const QString& column) {
    new ColumnFitter(list);
    list->setColumnCount(1);
    list->setHeaderLabels({column});
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setIconSize(QSize(kDependencyImageWidth, kDependencyImageHeight));
    list->setUniformRowHeights(true);
    list->header()->setStretchLastSection(false);
    showWholeNames(list);
}

void AddDependencyRow(QTreeWidget* list, const CCabObj& package, int entry, const std::string& whyNotFound) {
    const QString name = QString::fromStdString(package.GetDependencyName(entry));
    auto* item = new QTreeWidgetItem(list, {name});
    item->setIcon(0, dependencyIcon(package.GetDependencyOrigin(entry)));
    item->setData(0, kEntryRole, entry);
    if (!whyNotFound.empty())
        item->setToolTip(0, QObject::tr("%1\nNot found: %2").arg(name, QString::fromStdString(whyNotFound)));
}

void SelectFirstRow(QTreeWidget* list) {
    if (QTreeWidgetItem* first = list->topLevelItem(0)) {
        list->setCurrentItem(first);
        first->setSelected(true);
    }
}

int ShownEntry(const QTreeWidget* list) {
    const QTreeWidgetItem* current = list->currentItem();
    if (current && current->isSelected()) return entryOf(current);
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : entryOf(selected.front());
}

std::vector<int> SelectedEntries(const QTreeWidget* list) {
    std::vector<int> entries;
    for (const QTreeWidgetItem* item : list->selectedItems()) entries.push_back(entryOf(item));
    return entries;
}

}  // namespace pcn::gui
