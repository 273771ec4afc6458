#include "app/gui/CExportDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <algorithm>

#include "app/core/CPCNDoc.h"
#include "app/core/PackageReport.h"
#include "app/core/ProjectExport.h"
#include "app/gui/PcnImages.h"
#include "editing/gui/pickers/Pickers.h"
#include "platform/Paths.h"
#include "platform/gui/WholeNames.h"
#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {
namespace {

constexpr int kColumnMargin = 20;
constexpr int kPackageRole = Qt::UserRole + 1;

// The progress window of an export: the number of the file being copied, Cancel stops.
class ExportProgressDialog : public ExportProgress {
public:
    ExportProgressDialog(const QString& title, QWidget* parent) : dialog_(parent) {
        dialog_.setWindowTitle(title);
        dialog_.setObjectName("exportProgress");
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(0);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
    }
    void copying(size_t index, size_t count, const std::string&) override {
        dialog_.setMaximum(static_cast<int>(count));
        dialog_.setValue(static_cast<int>(index));
        dialog_.setLabelText(QString("Copying file %1 of %2").arg(index + 1).arg(count));
        QApplication::processEvents();
    }
    bool cancelled() override {
        QApplication::processEvents();
        return dialog_.wasCanceled();
    }
    void finished() override { dialog_.close(); }

private:
    QProgressDialog dialog_;
};

}  // namespace

QString CExportDlg::defaultDestination() {
    return QString::fromStdString(withTrailingSeparator(QDir::homePath().toStdString()));
}

CExportDlg::CExportDlg(CPCNDoc& doc, UserInterface& ui, Pickers& pickers, QWidget* parent)
    : QDialog(parent), doc_(doc), ui_(ui), pickers_(pickers) {
    setWindowTitle("Export");
    setObjectName("CExportDlg");
    setHelpTopic(this, "file_export.htm");

    auto* destinationLabel = new QLabel("Destination", this);
    destination_ = new QLineEdit(defaultDestination(), this);
    destination_->setObjectName("destination");
    destinationLabel->setBuddy(destination_);
    browse_ = new QPushButton("&Browse", this);
    browse_->setObjectName("browse");
    wholeProject_ = new QRadioButton("&Project and all packages", this);
    wholeProject_->setObjectName("wholeProject");
    selectedPackages_ = new QRadioButton("&Selected Package", this);
    selectedPackages_->setObjectName("selectedPackages");
    wholeProject_->setChecked(true);

    list_ = new QTreeWidget(this);
    list_->setObjectName("packageList");
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setHeaderLabels({"Package List"});
    list_->setMinimumWidth(360);
    showWholeNames(list_);
    for (const auto& package : doc_.m_listPackages) {
        if (package->m_bNotLoaded) continue;  // nothing to export
        auto* item = new QTreeWidgetItem(list_, {QString::fromStdString(PackageListText(*package))});
        item->setIcon(0, pcnImage(PackageImage(*package)));
        item->setData(0, kPackageRole, QVariant::fromValue(static_cast<void*>(package.get())));
    }
    // Sorted by text, as the project's package list is.
    list_->sortItems(0, Qt::AscendingOrder);
    list_->header()->resizeSection(0, std::max(100, list_->viewport()->width() - kColumnMargin));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");

    auto* layout = new QGridLayout(this);
    layout->addWidget(destinationLabel, 0, 0, 1, 2);
    layout->addWidget(destination_, 1, 0);
    layout->addWidget(browse_, 1, 1);
    layout->addWidget(wholeProject_, 2, 0, 1, 2);
    layout->addWidget(selectedPackages_, 3, 0, 1, 2);
    layout->addWidget(list_, 4, 0, 1, 2);
    layout->addWidget(buttons, 5, 0, 1, 2);
    layout->setColumnStretch(0, 1);

    connect(browse_, &QPushButton::clicked, this, &CExportDlg::browse);
    connect(selectedPackages_, &QRadioButton::toggled, this, &CExportDlg::updateList);
    connect(buttons, &QDialogButtonBox::accepted, this, &CExportDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CExportDlg::reject);
    updateList();
}

void CExportDlg::updateList() { list_->setEnabled(selectedPackages_->isChecked()); }

void CExportDlg::browse() {
    QString folder = destination_->text();
    if (!pickers_.folder(this, folder)) return;
    destination_->setText(QString::fromStdString(withTrailingSeparator(folder.toStdString())));
}

std::vector<std::string> CExportDlg::sources() const {
    if (wholeProject_->isChecked()) return ProjectExportSources(doc_);
    std::vector<const CCabObj*> packages;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list_->topLevelItem(i);
        if (item->isSelected())
            packages.push_back(static_cast<const CCabObj*>(item->data(0, kPackageRole).value<void*>()));
    }
    return PackageExportSources(packages);
}

void CExportDlg::accept() {
    const std::vector<std::string> files = sources();
    if (!files.empty()) {
        ExportProgressDialog progress(wholeProject_->isChecked() ? kExportingProject : kExportingPackages, this);
        ExportFiles(files, destination_->text().toStdString(), ui_, &progress);
    }
    QDialog::accept();
}

}  // namespace pcn::gui
