#include "distribution/gui/ftp/CFTPPropertyPage2.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "distribution/PackageOutputFiles.h"
#include "distribution/gui/ftp/CFTPPropertySheet.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormProblem.h"
#include "editing/gui/pickers/Pickers.h"
#include "model/CCabObj.h"
#include "model/CFTPObj.h"
#include "platform/SettingsStore.h"

namespace pcn::gui {
namespace {
constexpr const char* kAddFileSection = "Settings\\FTP Add File";
}

// The name tells the cabinet from the INF at a glance; the whole path is
// one hover away.
void SendFileList::add(const QString& path, bool checked) {
    auto* item = new QListWidgetItem(QFileInfo(path).fileName(), list_);
    item->setData(kPathRole, path);
    item->setToolTip(path);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

QStringList SendFileList::checkedPaths() const {
    QStringList paths;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->checkState() == Qt::Checked) paths << list_->item(i)->data(kPathRole).toString();
    return paths;
}

CFTPPropertyPage2::CFTPPropertyPage2(CFTPPropertySheet& sheet)
    : CFTPPropertyPage(sheet, tr("Selecting Files")), files_(new QListWidget(this)) {
    setObjectName("CFTPPropertyPage2");
    files_.widget()->setObjectName("fileList");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(files_.widget());
    auto* row = new QHBoxLayout;
    auto* add = new QPushButton(tr("Add..."), this);
    add->setObjectName("addFile");
    overwrite_ = new QCheckBox(tr("Overwrite Existing"), this);
    overwrite_->setObjectName("overwrite");
    row->addWidget(overwrite_);
    row->addStretch();
    row->addWidget(add);
    layout->addLayout(row);
    connect(add, &QPushButton::clicked, this, &CFTPPropertyPage2::addFile);
    // Double-clicking an entry turns its check mark over.
    connect(files_.widget(), &QListWidget::itemDoubleClicked, this, [](QListWidgetItem* item) {
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
}

void CFTPPropertyPage2::OnInitDialog() {
    const SendableFiles offered = packageFilesToSend(package());
    if (offered.outputFilesMissing)
        context().ui.message(kOutputFilesMissingFtp, kMessageCaption, Icon::Information, Buttons::Ok, Answer::Ok);
    for (const auto& file : offered.files) files_.add(QString::fromStdString(file.path), file.checked);
}

void CFTPPropertyPage2::OnSetActive() {
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizFinish);
    if (CFTPObj* site = ftpSheet().chosenSite()) overwrite_->setChecked(site->m_bOverwriteExisting != 0);
}

void CFTPPropertyPage2::addFile() {
    SettingsStore& settings = context().settings;
    QString path = QString::fromStdString(settings.readString(kAddFileSection, "Last File", ""));
    if (path.isEmpty()) path = QString::fromStdString(package().m_strSourceFolder);
    int filterIndex = settings.readInt(kAddFileSection, "Last Index", 2);
    if (!context().pickers.fileToSend(this, path, filterIndex)) return;
    files_.add(path, true);
    settings.writeInt(kAddFileSection, "Last Index", filterIndex);
    settings.writeString(kAddFileSection, "Last File", path.toStdString());
}

bool CFTPPropertyPage2::OnWizardFinish() {
    CFTPObj* site = ftpSheet().chosenSite();
    if (!site) return false;
    site->m_arrFiles.clear();
    for (const QString& path : files_.checkedPaths()) site->m_arrFiles.push_back(path.toStdString());
    site->m_bOverwriteExisting = overwrite_->isChecked() ? 1 : 0;
    // New and edited sites are kept before anything is sent.
    ftpSheet().saveSites();
    sheet().setWizardButtons(CCabWizSheet::kWizDisabledFinish);
    sheet().goToPage(CFTPPropertySheet::kSendingPage);
    return false;
}

int CFTPPropertyPage2::backPageId() const { return CFTPPropertySheet::kSelectSitePage; }

}  // namespace pcn::gui
