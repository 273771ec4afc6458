#include "editing/gui/forms/MiniSetupForm.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editing/core/Shortcuts.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/CAddShortcutDialog.h"
#include "editing/gui/forms/FormSupport.h"
#include "model/CCabObj.h"
#include "platform/gui/WholeNames.h"

namespace pcn::gui {

MiniSetupForm::MiniSetupForm(const CCabObj& package, EditingContext& context, QWidget* parent)
    : QWidget(parent), package_(package), context_(context) {
    auto* group = new QGroupBox(tr("Mini Setup"), this);
    shortcutGroup_ = namedWidget(new QCheckBox(tr("Create Shortcut Group"), group), "shortcutGroup");
    groupDescLabel_ = namedWidget(new QLabel(tr("Shortcut Group Description:"), group), "groupDescLabel");
    groupDesc_ = namedWidget(new QLineEdit(group), "groupDesc");
    groupDescLabel_->setBuddy(groupDesc_);
    shortcuts_ = namedWidget(new QCheckBox(tr("Create Shortcut(s)"), group), "shortcuts");
    list_ = namedWidget(new QTreeWidget(group), "shortcutList");
    list_->setColumnCount(2);
    list_->setHeaderLabels({tr("Shortcut Description"), tr("Shortcut File")});
    list_->header()->setSectionResizeMode(QHeaderView::Stretch);
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    showWholeNames(list_);
    add_ = namedWidget(new QPushButton(tr("Add..."), group), "addShortcut");
    remove_ = namedWidget(new QPushButton(tr("Remove"), group), "removeShortcut");
    shortcutTypeLabel_ = namedWidget(new QLabel(tr("Shortcut Type:"), group), "shortcutTypeLabel");
    shortcutType_ = namedWidget(new QComboBox(group), "shortcutType");
    shortcutType_->addItems({tr("Common Programs"), tr("Personal Programs"), tr("Startup Programs")});
    shortcutTypeLabel_->setBuddy(shortcutType_);

    auto* grid = new QGridLayout(group);
    grid->addWidget(shortcutGroup_, 0, 0, 1, 3);
    grid->addWidget(groupDescLabel_, 1, 0);
    grid->addWidget(groupDesc_, 1, 1, 1, 2);
    grid->addWidget(shortcuts_, 2, 0, 1, 3);
    grid->addWidget(list_, 3, 0, 3, 2);
    grid->addWidget(add_, 3, 2);
    grid->addWidget(remove_, 4, 2);
    grid->addWidget(shortcutTypeLabel_, 6, 0);
    grid->addWidget(shortcutType_, 6, 1, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);

    for (QCheckBox* box : {shortcutGroup_, shortcuts_}) {
        connect(box, &QCheckBox::clicked, this, [this] {
            updateEnabling();
            emit modified();
        });
    }
    connect(groupDesc_, &QLineEdit::textEdited, this, &MiniSetupForm::modified);
    connect(shortcutType_, &QComboBox::activated, this, &MiniSetupForm::modified);
    connect(add_, &QPushButton::clicked, this, &MiniSetupForm::addShortcut);
    connect(remove_, &QPushButton::clicked, this, &MiniSetupForm::removeSelectedShortcuts);
    updateEnabling();
}

void MiniSetupForm::load(const CCabObj& package) {
    shortcutGroup_->setChecked(package.m_bShortcutGroup);
    groupDesc_->setText(QString::fromStdString(package.m_strGroupDesc));
    shortcuts_->setChecked(package.m_bShortcuts);
    list_->clear();
    const size_t count = std::min(package.m_arrShortcutDesc.size(), package.m_arrShortcutFile.size());
    for (size_t i = 0; i < count; ++i)
        appendShortcut(QString::fromStdString(package.m_arrShortcutDesc[i]),
                       QString::fromStdString(package.m_arrShortcutFile[i]));
    shortcutType_->setCurrentIndex(ShortcutTypeIndexForFolder(package.m_nShortcutFolder));
    updateEnabling();
}

void MiniSetupForm::store(CCabObj& package) const {
    package.m_bShortcutGroup = shortcutGroup_->isChecked();
    package.m_bShortcuts = shortcuts_->isChecked();
    package.m_strGroupDesc = groupDesc_->text().toStdString();
    package.m_arrShortcutDesc.clear();
    package.m_arrShortcutFile.clear();
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list_->topLevelItem(row);
        package.m_arrShortcutDesc.push_back(item->text(0).toStdString());
        package.m_arrShortcutFile.push_back(item->text(1).toStdString());
    }
    package.m_nShortcutFolder = ShortcutFolderForTypeIndex(shortcutType_->currentIndex());
}

void MiniSetupForm::updateEnabling() {
    const bool group = shortcutGroup_->isChecked();
    const bool shortcuts = shortcuts_->isChecked();
    groupDesc_->setEnabled(group);
    groupDescLabel_->setEnabled(group);
    list_->setEnabled(shortcuts);
    add_->setEnabled(shortcuts);
    remove_->setEnabled(shortcuts);
    shortcutType_->setEnabled(group || shortcuts);
    shortcutTypeLabel_->setEnabled(group || shortcuts);
}

void MiniSetupForm::addShortcut() {
    CAddShortcutDialog dialog(package_, context_.ui, this);
    if (dialog.exec() != QDialog::Accepted) return;
    appendShortcut(dialog.description(), dialog.shortcutFile());
    emit modified();
}

void MiniSetupForm::appendShortcut(const QString& description, const QString& file) {
    new QTreeWidgetItem(list_, {description, file});
}

void MiniSetupForm::removeSelectedShortcuts() {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) return;
    qDeleteAll(selected);
    emit modified();
}

FormCheck MiniSetupForm::check() const { return RefuseLineBreaks({groupDesc_}); }

}  // namespace pcn::gui
