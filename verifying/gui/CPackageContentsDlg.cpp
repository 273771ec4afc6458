#include "verifying/gui/CPackageContentsDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/CCabObj.h"
#include "platform/gui/DialogKeys.h"
#include "platform/gui/HelpTopicName.h"
#include "platform/gui/WholeNames.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "verifying/CabinetSet.h"
#include "verifying/CheckReport.h"
#include "verifying/Verifier.h"

namespace pcn::gui {

using namespace pcn::verifying;

namespace {

QString text(const std::string& s) { return QString::fromStdString(printable(s)); }

}  // namespace

CPackageContentsDlg::CPackageContentsDlg(const CCabObj& package, const SettingsStore& settings, QWidget* parent)
    : QDialog(parent), package_(package), settings_(settings) {
    setObjectName("CPackageContentsDlg");
    setWindowTitle(QString::fromStdString(package.m_strProduct) + " - Contents");
    setHelpTopic(this, "project_contents.htm");
    auto* layout = new QVBoxLayout(this);
    cabinets_ = new QLabel(this);
    cabinets_->setObjectName("cabinetsLabel");
    cabinets_->setWordWrap(true);
    cabinets_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(cabinets_);

    contents_ = new QTreeWidget(this);
    contents_->setObjectName("contentsList");
    contents_->setRootIsDecorated(false);
    contents_->setHeaderLabels({"Name", "Size", "Date", "Attributes", "Folder", "Compression"});
    contents_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    showWholeNames(contents_);
    layout->addWidget(contents_, 3);

    checks_ = new QListWidget(this);
    checks_->setObjectName("checkList");
    showWholeNames(checks_);
    layout->addWidget(checks_, 2);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("verifyProgress");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    layout->addWidget(progress_);
    summary_ = new QLabel(this);
    summary_->setObjectName("verifySummary");
    layout->addWidget(summary_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    verify_ = buttons->addButton("&Verify", QDialogButtonBox::ActionRole);
    verify_->setObjectName("verifyButton");
    // Enter runs the checks; Close stays on Esc.
    markForwardButton(verify_);
    connect(verify_, &QPushButton::clicked, this, &CPackageContentsDlg::startOrCancelVerify);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPackageContentsDlg::reject);
    layout->addWidget(buttons);
    resize(760, 560);
    listContents();
}

CPackageContentsDlg::~CPackageContentsDlg() { stopWorker(); }

void CPackageContentsDlg::listContents() {
    if (package_.m_arrOutputFiles.empty()) {
        cabinets_->setText("The package has not been built yet: there is no cabinet to list.");
        verify_->setEnabled(false);
        return;
    }
    CabinetSet set;
    const std::string first = outputPath(package_, package_.m_arrOutputFiles.front());
    if (!set.open(first)) {
        cabinets_->setText(text(first + ": " + set.error()));
        return;
    }
    QStringList names;
    for (const CabinetPart& p : set.parts()) names << text(fileNamePart(p.path));
    const size_t files = set.entries().size();
    QString header = QString("%1 %2, %3 bytes in %4 (%5)")
                         .arg(files)
                         .arg(files == 1 ? "file" : "files")
                         .arg(QString::fromStdString(groupDigits(set.totalSize())))
                         .arg(names.join(", "))
                         .arg(text(folderPart(first)));
    for (const std::string& problem : set.problems()) header += "\n" + text(problem);
    cabinets_->setText(header);
    for (const CabinetEntry& e : set.entries()) {
        auto* item = new QTreeWidgetItem(contents_);
        item->setText(0, text(e.name));
        item->setText(1, QString::fromStdString(groupDigits(e.size)));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(2, QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", e.year, e.month, e.day, e.hour, e.minute,
                                           e.second));
        item->setText(3, QString::fromStdString(attributeLetters(e.attributes)));
        item->setText(4, QString::number(e.folder));
        item->setText(5, QString::fromStdString(compressionName(e.compression)));
    }
    for (int column = 1; column < contents_->columnCount(); ++column) contents_->resizeColumnToContents(column);
}

void CPackageContentsDlg::startOrCancelVerify() {
    if (worker_.joinable()) {
        cancel_ = true;
        verify_->setEnabled(false);
        return;
    }
    checks_->clear();
    summary_->clear();
    progress_->setValue(0);
    cancel_ = false;
    verify_->setText("Cancel");
    // The worker reads the package and the settings, which the dialog holds
    // unchanged while it runs; its lines come back to this thread queued.
    worker_ = std::thread([this] {
        CheckReport report([this](const Check& check) {
            const QString line = QString::fromStdString(checkLine(check));
            const int verdict = static_cast<int>(check.verdict);
            QMetaObject::invokeMethod(this, [this, verdict, line] { addCheckLine(verdict, line); }, Qt::QueuedConnection);
        });
        VerifyOptions options;
        int lastPercent = -1;
        options.progress = [this, &lastPercent](uint64_t done, uint64_t total, const std::string&) {
            const int percent = total ? static_cast<int>(done * 100 / total) : 100;
            if (percent != lastPercent) {
                lastPercent = percent;
                QMetaObject::invokeMethod(progress_, [this, percent] { progress_->setValue(percent); }, Qt::QueuedConnection);
            }
            return !cancel_.load();
        };
        Verifier verifier(report, settings_, options);
        verifier.verifyPackage(package_);
        const QString summary = QString::fromStdString(report.summary());
        const int exitCode = report.exitCode();
        QMetaObject::invokeMethod(this, [this, summary, exitCode] { verifyEnded(summary, exitCode); }, Qt::QueuedConnection);
    });
}

void CPackageContentsDlg::addCheckLine(int verdict, const QString& line) {
    auto* item = new QListWidgetItem(line, checks_);
    if (verdict == static_cast<int>(Verdict::Fails)) item->setForeground(Qt::red);
    else if (verdict == static_cast<int>(Verdict::Unsigned)) item->setForeground(QColor(0xB0, 0x60, 0x00));
    checks_->scrollToItem(item);
}

void CPackageContentsDlg::verifyEnded(const QString& summary, int exitCode) {
    if (worker_.joinable()) worker_.join();
    progress_->setValue(100);
    summary_->setText(summary);
    summary_->setStyleSheet(exitCode == 0 ? "" : "color: red");
    verify_->setText("&Verify");
    verify_->setEnabled(true);
}

void CPackageContentsDlg::stopWorker() {
    if (!worker_.joinable()) return;
    cancel_ = true;
    worker_.join();
}

void CPackageContentsDlg::reject() {
    stopWorker();
    QDialog::reject();
}

void RunPackageContentsDialog(const CCabObj& package, const SettingsStore& settings, QWidget* parent) {
    CPackageContentsDlg dialog(package, settings, parent);
    dialog.exec();
}

}  // namespace pcn::gui
