#include "editing/gui/sheet/CReScanSourceFilesDlg.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "distribution/UserInterface.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"
#include "platform/gui/WholeNames.h"
#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {

CReScanSourceFilesDlg::CReScanSourceFilesDlg(const CCabObj& package, UserInterface& ui, QWidget* parent)
    : QDialog(parent), package_(package), ui_(ui) {
    setObjectName("CReScanSourceFilesDlg");
    setHelpTopic(this, "project_properties.htm#files");
    setWindowTitle(tr("Re-Scan Source Files"));

    list_ = new QTreeWidget(this);
    list_->setObjectName("missingFiles");
    list_->setColumnCount(1);
    list_->setHeaderLabels({tr("Missing File(s) List")});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->header()->setStretchLastSection(true);
    showWholeNames(list_);
    auto* note = new QLabel(tr("The following file(s) could not be located."), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName("okButton");
    ok_->setEnabled(false);
    buttons->button(QDialogButtonBox::Cancel)->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(note);
    layout->addWidget(buttons);
    resize(480, 320);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CReScanSourceFilesDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    QTimer::singleShot(kStartDelayMs, this, &CReScanSourceFilesDlg::checkFiles);
}

QStringList CReScanSourceFilesDlg::missingFiles() const {
    QStringList files;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) files << list_->topLevelItem(i)->text(0);
    return files;
}

void CReScanSourceFilesDlg::checkFiles() {
    const QIcon missing = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    QPointer<CReScanSourceFilesDlg> alive(this);
    const int count = package_.GetFileCount();
    for (int i = 0; i < count; ++i) {
        const std::string path = package_.GetFilePath(i);
        if (!fileExists(path)) {
            auto* item = new QTreeWidgetItem(list_, {QString::fromStdString(path)});
            item->setIcon(0, missing);
            list_->scrollToItem(item);
            list_->repaint();
        }
        // Keeps the window alive on a long check; Escape or closing it stops the check.
        QCoreApplication::processEvents();
        if (!alive || !isVisible()) return;
    }
    checked_ = true;
    ok_->setEnabled(true);
    if (list_->topLevelItemCount() == 0) {
        ui_.message("File(s) checked out OK", "Re-Scan Source Files", Icon::Information, Buttons::Ok, Answer::Ok);
        accept();
    }
}

}  // namespace pcn::gui
