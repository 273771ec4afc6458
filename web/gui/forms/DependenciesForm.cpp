#include "web/gui/forms/DependenciesForm.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormSupport.h"
#include "editing/gui/pickers/Pickers.h"
#include "model/CCabObj.h"
#include "web/gui/DependencyImages.h"
#include "web/gui/WebSheetState.h"
#include "web/scanner/DependencyScanner.h"

namespace pcn::gui {
namespace {

constexpr int kControlPickerMode = 2;  // the control picker of the first page
constexpr int kScrollBarRoom = 18;
constexpr int kWin32 = 1;

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
}

DependenciesForm::DependenciesForm(WebSheetState& state, QWidget* parent) : QWidget(parent), state_(state) {
    caption = namedWidget(new QLabel, "dependenciesCaption");
    list = namedWidget(new QTreeWidget, "dependencyList");
    SetUpDependencyList(list, tr("Dependency File List"));
    includeInPackages = namedWidget(new QCheckBox(tr("Include in Packages")), "includeInPackages");
    includeInPackages->setEnabled(false);
    addButton = namedWidget(new QPushButton(tr("&Add...")), "addDependency");
    addButton->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption, 0, 0, 1, 2);
    layout->addWidget(list, 1, 0, 1, 2);
    layout->addWidget(includeInPackages, 2, 0);
    layout->addWidget(addButton, 2, 1);
    layout->setRowStretch(1, 1);

    connect(list, &QTreeWidget::itemSelectionChanged, this, &DependenciesForm::selectionChanged);
    connect(includeInPackages, &QCheckBox::clicked, this, &DependenciesForm::includeClicked);
    connect(addButton, &QPushButton::clicked, this, &DependenciesForm::addDependency);
}

void DependenciesForm::initialise() {
    caption->setText(tr("Libraries loaded on behalf of ") + QString::fromStdString(state_.package.m_pWeb->m_strFileName));
}

void DependenciesForm::addRow(int entry) {
    auto* item = new QTreeWidgetItem(list, {QString::fromStdString(state_.package.GetDependencyName(entry))});
    item->setIcon(0, dependencyIcon(state_.package.GetDependencyOrigin(entry)));
    item->setData(0, Qt::UserRole, entry);
}

void DependenciesForm::fill() {
    CCabObj& package = state_.package;
    list->clear();
    for (int i = 0; i < package.GetDependencyCount(); ++i) {
        // An OS chosen on the next page survives coming back here.
        if (!state_.hasOsChoice(i)) package.SetDependencyOs(i, kWin32);
        addRow(i);
    }
    if (QTreeWidgetItem* first = list->topLevelItem(0)) {
        list->setCurrentItem(first);
        first->setSelected(true);
    }
    selectionChanged();
}

void DependenciesForm::selectionChanged() {
    QTreeWidgetItem* current = list->currentItem();
    if (!current || !current->isSelected()) {
        const QList<QTreeWidgetItem*> selected = list->selectedItems();
        current = selected.isEmpty() ? nullptr : selected.front();
    }
    includeInPackages->setEnabled(current != nullptr);
    if (current)
        includeInPackages->setChecked(state_.package.GetDependencyInclude(current->data(0, Qt::UserRole).toInt()) != 0);
}

void DependenciesForm::includeClicked() {
    const int32_t include = includeInPackages->isChecked() ? 1 : 0;
    for (QTreeWidgetItem* item : list->selectedItems())
        state_.package.SetDependencyInclude(item->data(0, Qt::UserRole).toInt(), include);
    emit changed();
}

void DependenciesForm::addDependency() {
    QString path = QString::fromStdString(state_.package.m_pWeb->m_strSourceFolder);
    if (!state_.context.pickers.fileToSign(this, path, kControlPickerMode) || path.isEmpty()) return;
    CCabObj& package = state_.package;
    const int entry = package.AddDependency(path.toStdString());
    package.SetDependencyOrigin(entry, web::kOriginLoaded);
    package.SetDependencyInclude(entry, 1);
    addRow(entry);
    emit changed();
}

}  // namespace pcn::gui
