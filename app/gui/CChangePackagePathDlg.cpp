#include "app/gui/CChangePackagePathDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/core/PackagePathChange.h"
#include "editing/gui/pickers/Pickers.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {
namespace {

std::string historyName(int index) { return std::to_string(index); }

}  // namespace

const char* CChangePackagePathDlg::historySection(bool severalEntries) {
    return severalEntries ? "Settings\\Package Missing Folders" : "Settings\\Package Missing Files";
}

QStringList CChangePackagePathDlg::readHistory(const SettingsStore& settings, bool severalEntries) {
    QStringList history;
    for (int i = 0; i < kPathHistoryValues; ++i) {
        const std::string value = settings.readString(historySection(severalEntries), historyName(i), "");
        if (value.empty()) break;
        history << QString::fromStdString(value);
    }
    return history;
}

CChangePackagePathDlg::CChangePackagePathDlg(const std::vector<std::string>& entries, int selectedCount,
                                             const QString& firstSelected, SettingsStore& settings,
                                             Pickers& pickers, QWidget* parent)
    : QDialog(parent), settings_(settings), pickers_(pickers), several_(selectedCount > 1) {
    setWindowTitle("Change Package File Path");
    setObjectName("CChangePackagePathDlg");
    setHelpTopic(this, "project_properties.htm#files");

    pathLabel_ = new QLabel(several_ ? "Package Folder" : "Package File", this);
    pathLabel_->setObjectName("pathLabel");
    pathCombo_ = new QComboBox(this);
    pathCombo_->setObjectName("path");
    pathCombo_->setEditable(true);
    pathCombo_->setInsertPolicy(QComboBox::NoInsert);
    pathCombo_->setMinimumContentsLength(48);
    pathLabel_->setBuddy(pathCombo_);
    browse_ = new QPushButton("&Browse", this);
    browse_->setObjectName("browse");

    applySelected_ = new QRadioButton("Apply to &Selected", this);
    applySelected_->setObjectName("applySelected");
    applyAll_ = new QRadioButton("Apply to &all", this);
    applyAll_->setObjectName("applyAll");
    applyEqual_ = new QRadioButton("Apply to all with &equal path", this);
    applyEqual_->setObjectName("applyEqualPath");
    auto* modes = new QButtonGroup(this);
    for (QRadioButton* button : {applySelected_, applyAll_, applyEqual_}) modes->addButton(button);
    equalLabel_ = new QLabel("Equal Folder", this);
    equalLabel_->setObjectName("equalFolderLabel");
    equalCombo_ = new QComboBox(this);
    equalCombo_->setObjectName("equalFolder");
    equalLabel_->setBuddy(equalCombo_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");

    auto* layout = new QGridLayout(this);
    layout->addWidget(pathLabel_, 0, 0, 1, 2);
    layout->addWidget(pathCombo_, 1, 0);
    layout->addWidget(browse_, 1, 1);
    layout->addWidget(applySelected_, 2, 0, 1, 2);
    layout->addWidget(applyAll_, 3, 0, 1, 2);
    layout->addWidget(applyEqual_, 4, 0, 1, 2);
    layout->addWidget(equalLabel_, 5, 0, 1, 2);
    layout->addWidget(equalCombo_, 6, 0, 1, 2);
    layout->addWidget(buttons, 7, 0, 1, 2);
    layout->setColumnStretch(0, 1);

    // The history of this kind of change, each text once.
    for (const QString& earlier : readHistory(settings_, several_))
        if (pathCombo_->findText(earlier, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) pathCombo_->addItem(earlier);

    if (several_) {
        applySelected_->setChecked(true);
        pathCombo_->setEditText(QString::fromStdString(folderPart(firstSelected.toStdString())));
        for (const std::string& folder : DistinctFolders(entries)) equalCombo_->addItem(QString::fromStdString(folder));
        equalCombo_->setCurrentIndex(0);
    } else {
        pathCombo_->setEditText(firstSelected);
        for (QRadioButton* button : {applySelected_, applyAll_, applyEqual_}) button->setEnabled(false);
    }
    updateEqualFolderControls();

    connect(applyEqual_, &QRadioButton::toggled, this, &CChangePackagePathDlg::updateEqualFolderControls);
    connect(browse_, &QPushButton::clicked, this, &CChangePackagePathDlg::browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &CChangePackagePathDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CChangePackagePathDlg::reject);
}

void CChangePackagePathDlg::updateEqualFolderControls() {
    const bool enabled = several_ && applyEqual_->isChecked();
    equalLabel_->setEnabled(enabled);
    equalCombo_->setEnabled(enabled);
}

void CChangePackagePathDlg::browse() {
    QString path = pathCombo_->currentText();
    if (several_) {
        if (!pickers_.folder(this, path)) return;
        path = QString::fromStdString(withTrailingSeparator(path.toStdString()));
    } else if (!pickers_.packageFile(this, path, filterIndex_)) {
        return;
    }
    pathCombo_->setEditText(path);
}

void CChangePackagePathDlg::accept() {
    path_ = pathCombo_->currentText();
    if (several_ && !path_.isEmpty()) path_ = QString::fromStdString(withTrailingSeparator(path_.toStdString()));
    mode_ = !several_                     ? Mode::None
            : applySelected_->isChecked() ? Mode::Selected
            : applyAll_->isChecked()      ? Mode::All
            : applyEqual_->isChecked()    ? Mode::EqualPath
                                          : Mode::None;
    equalFolder_ = equalCombo_->currentText();
    saveHistory();
    QDialog::accept();
}

void CChangePackagePathDlg::saveHistory() {
    const char* section = historySection(several_);
    int written = 0;
    settings_.writeString(section, historyName(written++), path_.toStdString());
    for (int i = 0; i < pathCombo_->count() && written < kPathHistoryValues; ++i)
        settings_.writeString(section, historyName(written++), pathCombo_->itemText(i).toStdString());
    // Values left from a longer history would be read back after the new ones.
    for (int i = written; i < kPathHistoryValues; ++i)
        if (settings_.contains(section, historyName(i))) settings_.removeValue(section, historyName(i));
}

}  // namespace pcn::gui
