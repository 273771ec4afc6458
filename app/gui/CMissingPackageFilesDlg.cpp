#include "app/gui/CMissingPackageFilesDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/core/PackagePathChange.h"
#include "app/gui/PcnImages.h"
#include "distribution/UserInterface.h"
#include "platform/Paths.h"
#include "platform/gui/WholeNames.h"
#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {
namespace {

constexpr int kColumnMargin = 20;

}  // namespace

CMissingPackageFilesDlg::CMissingPackageFilesDlg(std::vector<std::string>& missing, SettingsStore& settings,
                                                 UserInterface& ui, Pickers& pickers, QWidget* parent)
    : QDialog(parent), missing_(missing), settings_(settings), ui_(ui), pickers_(pickers) {
    setWindowTitle("Tarnwick Parcelon (Package File Not Found)");
    setObjectName("CMissingPackageFilesDlg");
    setHelpTopic(this, "file_open_project.htm#missing");

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    auto* text = new QLabel("The following Package file(s) were not found:", this);
    list_ = new QTreeWidget(this);
    list_->setObjectName("missingList");
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setHeaderLabels({"Package File Not Found List"});
    list_->setMinimumWidth(480);
    showWholeNames(list_);

    change_ = new QPushButton("&Change...", this);
    change_->setObjectName("changeButton");
    remove_ = new QPushButton("&Remove", this);
    remove_->setObjectName("removeButton");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");

    auto* side = new QVBoxLayout;
    side->addWidget(buttons);
    side->addSpacing(12);
    side->addWidget(change_);
    side->addWidget(remove_);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(list_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(side);

    for (const std::string& path : missing_) {
        auto* item = new QTreeWidgetItem(list_, {QString::fromStdString(path)});
        item->setIcon(0, pcnImage(kImageRebuild));  // image 18: not found
    }
    list_->header()->resizeSection(0, std::max(100, list_->viewport()->width() - kColumnMargin));

    connect(list_, &QTreeWidget::itemSelectionChanged, this, &CMissingPackageFilesDlg::updateButtons);
    connect(change_, &QPushButton::clicked, this, &CMissingPackageFilesDlg::changeSelection);
    connect(remove_, &QPushButton::clicked, this, &CMissingPackageFilesDlg::removeSelection);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMissingPackageFilesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMissingPackageFilesDlg::reject);
    updateButtons();
}

int CMissingPackageFilesDlg::imageFor(const std::string& path) {
    return fileExists(path) ? kImageFileFound : kImageRebuild;
}

std::vector<int> CMissingPackageFilesDlg::selectedIndexes() const {
    std::vector<int> indexes;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->isSelected()) indexes.push_back(i);
    return indexes;
}

void CMissingPackageFilesDlg::updateButtons() {
    const bool any = !list_->selectedItems().isEmpty();
    change_->setEnabled(any);
    remove_->setEnabled(any);
}

void CMissingPackageFilesDlg::setEntry(int index, const std::string& path) {
    missing_[index] = path;
    QTreeWidgetItem* item = list_->topLevelItem(index);
    item->setText(0, QString::fromStdString(path));
    item->setIcon(0, pcnImage(imageFor(path)));
}

void CMissingPackageFilesDlg::changeSelection() {
    const std::vector<int> selected = selectedIndexes();
    if (selected.empty()) return;
    CChangePackagePathDlg dialog(missing_, static_cast<int>(selected.size()),
                                 QString::fromStdString(missing_[selected.front()]), settings_, pickers_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    applyChange(dialog.path(), dialog.mode(), dialog.equalFolder());
}

void CMissingPackageFilesDlg::applyChange(const QString& path, CChangePackagePathDlg::Mode mode,
                                          const QString& equalFolder) {
    const std::vector<int> selected = selectedIndexes();
    const std::string entered = path.toStdString();
    using Mode = CChangePackagePathDlg::Mode;
    if (selected.size() == 1 && mode == Mode::None) {
        setEntry(selected.front(), entered);
        return;
    }
    switch (mode) {
        case Mode::None: break;
        case Mode::Selected:
            for (int index : selected) setEntry(index, MoveToFolder(missing_[index], entered));
            break;
        case Mode::All:
            for (int index = 0; index < static_cast<int>(missing_.size()); ++index)
                setEntry(index, MoveToFolder(missing_[index], entered));
            break;
        case Mode::EqualPath:
            // Only entries that begin with the folder: one that merely holds it
            // further on would be cut at the wrong place.
            for (int index = 0; index < static_cast<int>(missing_.size()); ++index)
                if (auto moved = ReplaceLeadingFolder(missing_[index], equalFolder.toStdString(), entered))
                    setEntry(index, *moved);
            break;
    }
}

void CMissingPackageFilesDlg::removeSelection() {
    const std::vector<int> selected = selectedIndexes();
    for (auto index = selected.rbegin(); index != selected.rend(); ++index) {
        delete list_->takeTopLevelItem(*index);
        missing_.erase(missing_.begin() + *index);
    }
    updateButtons();
}

void CMissingPackageFilesDlg::accept() {
    std::vector<int> stillMissing;
    for (int index = 0; index < static_cast<int>(missing_.size()); ++index) {
        const int image = imageFor(missing_[index]);
        list_->topLevelItem(index)->setIcon(0, pcnImage(image));
        if (image != kImageFileFound) stillMissing.push_back(index);
    }
    if (!stillMissing.empty()) {
        if (ui_.message(kNotAllFilesFound, "Information", Icon::Error, Buttons::YesNo, Answer::No) != Answer::Yes)
            return;
        for (auto index = stillMissing.rbegin(); index != stillMissing.rend(); ++index) {
            delete list_->takeTopLevelItem(*index);
            missing_.erase(missing_.begin() + *index);
        }
    }
    QDialog::accept();
}

void CMissingPackageFilesDlg::reject() {
    if (ui_.message(kCancelRemovesFiles, "Information", Icon::Error, Buttons::YesNo, Answer::No) != Answer::Yes)
        return;
    QDialog::reject();
}

}  // namespace pcn::gui
