#include "editing/gui/forms/FilesForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>

#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormProblem.h"
#include "editing/gui/forms/RememberedValues.h"
#include "editing/gui/pickers/Pickers.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"
#include "platform/gui/WholeNames.h"

namespace pcn::gui {

namespace {

constexpr const char* kLastIndex = "Last Index";

QPushButton* makeButton(const QString& text, const char* name) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

int64_t sizeOf(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? 0 : int64_t(size);
}

}  // namespace

FilesForm::FilesForm(CCabObj& package, EditingContext& context, QWidget* parent)
    : QWidget(parent), package_(package), context_(context) {
    fileList = new QTreeWidget;
    fileList->setObjectName("fileList");
    fileList->setColumnCount(1);
    fileList->setHeaderLabels({tr("Package File List")});
    fileList->setRootIsDecorated(false);
    fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileList->setUniformRowHeights(true);
    fileList->header()->setStretchLastSection(true);
    showWholeNames(fileList);
    addButton = makeButton(tr("&Add"), "addFiles");
    removeButton = makeButton(tr("&Remove"), "removeFiles");
    destinationLabel = new QLabel(tr("Destination path."));
    destinationLabel->setObjectName("destinationLabel");
    destination = new QComboBox;
    destination->setObjectName("destination");
    destination->setEditable(true);
    destination->setInsertPolicy(QComboBox::NoInsert);
    // A typed sub-path must not be completed into another folder token.
    destination->setCompleter(nullptr);
    for (const char* preset : kDestinationPresets) destination->addItem(preset);
    destinationLabel->setBuddy(destination);
    registerComponent = new QCheckBox(tr("Register &Component"));
    registerComponent->setObjectName("registerComponent");
    for (QWidget* w : std::initializer_list<QWidget*>{destinationLabel, destination, registerComponent})
        w->setEnabled(false);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(fileList, 0, 0, 4, 1);
    layout->addWidget(addButton, 0, 1);
    layout->addWidget(removeButton, 1, 1);
    layout->setRowStretch(2, 1);
    auto* destinationRow = new QHBoxLayout;
    destinationRow->addWidget(destinationLabel);
    destinationRow->addWidget(destination, 1);
    destinationRow->addWidget(registerComponent);
    layout->addLayout(destinationRow, 4, 0, 1, 2);

    connect(removeButton, &QPushButton::clicked, this, &FilesForm::removeSelected);
    connect(fileList, &QTreeWidget::itemSelectionChanged, this, &FilesForm::showSelectedFile);
    connect(registerComponent, &QCheckBox::clicked, this, &FilesForm::setRegisterOfSelected);
    connect(destination, &QComboBox::textActivated, this, &FilesForm::setDestinationOfSelected);
    connect(destination->lineEdit(), &QLineEdit::textEdited, this, &FilesForm::setDestinationOfSelected);
}

void FilesForm::appendRow(const QString& path) {
    auto* item = new QTreeWidgetItem(fileList, {path});
    if (fileIcon_.isNull()) fileIcon_ = style()->standardIcon(QStyle::SP_FileIcon);
    item->setIcon(0, fileIcon_);
}

void FilesForm::fill() {
    fileList->clear();
    // Drawn once, not after each of many thousand rows.
    fileList->setUpdatesEnabled(false);
    for (int i = 0; i < package_.GetFileCount(); ++i) appendRow(QString::fromStdString(package_.GetFilePath(i)));
    fileList->setUpdatesEnabled(true);
}

bool FilesForm::add(const QString& folder) {
    int filterIndex = context_.settings.readInt(kAddFilesSection, kLastIndex, 0);
    QStringList files;
    if (!context_.pickers.addFiles(this, folder, files, filterIndex)) return false;
    for (const QString& file : files) {
        appendRow(file);
        package_.AddFile(file.toStdString());
    }
    context_.settings.writeInt(kAddFilesSection, kLastIndex, filterIndex);
    emit edited();
    return true;
}

QList<int> FilesForm::selectedRows() const {
    QList<int> rows;
    for (QTreeWidgetItem* item : fileList->selectedItems()) rows.append(fileList->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FilesForm::removeSelected() {
    const QList<int> rows = selectedRows();
    if (rows.isEmpty()) return;
    int64_t total = package_.m_nSourceSize;
    // From the last row up, so that the rows still to go keep their indexes.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        total -= sizeOf(package_.GetFilePath(*it));
        delete fileList->takeTopLevelItem(*it);
        package_.RemoveFile(*it);
    }
    // Files added by hand were never counted in; never show a negative total.
    if (removeAdjustsSourceSize) package_.m_nSourceSize = int32_t(std::max<int64_t>(total, 0));
    emit edited();
}

// Only a self-extracting wizard places files in other folders than the
// install folder or registers them.
void FilesForm::showSelectedFile() {
    if (!package_.m_bCabWiz) return;
    QTreeWidgetItem* item = fileList->currentItem();
    if (!item || !item->isSelected()) {
        const QList<QTreeWidgetItem*> selected = fileList->selectedItems();
        if (selected.isEmpty()) return;
        item = selected.first();
    }
    const int row = fileList->indexOfTopLevelItem(item);
    if (row >= package_.GetFileCount()) {
        if (reportsInvalidRows) ShowProblem(context_, FormProblem{tr("Invalid Count --- 1"), nullptr});
        return;
    }
    for (QWidget* w : std::initializer_list<QWidget*>{destinationLabel, destination, registerComponent})
        w->setEnabled(true);
    destination->setCurrentText(QString::fromStdString(package_.GetFileDest(row)));
    registerComponent->setChecked(package_.IsFileRegistered(row));
}

void FilesForm::setDestinationOfSelected(const QString& dest) {
    const QList<int> rows = selectedRows();
    for (int row : rows) package_.SetFileDest(row, dest.toStdString());
    if (!rows.isEmpty()) emit edited();
}

void FilesForm::setRegisterOfSelected(bool on) {
    const QList<int> rows = selectedRows();
    for (int row : rows) package_.SetFileRegister(row, on);
    if (!rows.isEmpty()) emit edited();
}

}  // namespace pcn::gui
