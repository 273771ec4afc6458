#include "editing/gui/sheet/CChangeSourcePathDlg.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "editing/gui/pickers/Pickers.h"

namespace pcn::gui {

namespace {
const QChar kSeparator = QDir::separator();
}

CChangeSourcePathDlg::CChangeSourcePathDlg(const QString& path, Pickers& pickers, QWidget* parent)
    : QDialog(parent), pickers_(pickers), path_(path) {
    setObjectName("CChangeSourcePathDlg");
    setWindowTitle(tr("Change Source Path"));

    auto* label = new QLabel(tr("Source file path"), this);
    pathEdit_ = new QLineEdit(path, this);
    pathEdit_->setObjectName("sourcePath");
    label->setBuddy(pathEdit_);
    browse_ = new QPushButton(tr("&Browse..."), this);
    browse_->setObjectName("browse");
    auto* note = new QLabel(tr("This option is useful in cases where the source folder has been moved or "
                               "when using package files on several machines"),
                            this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName("okButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0, 1, 2);
    layout->addWidget(pathEdit_, 1, 0);
    layout->addWidget(browse_, 1, 1);
    layout->addWidget(note, 2, 0, 1, 2);
    layout->addWidget(buttons, 3, 0, 1, 2);
    setMinimumWidth(420);

    connect(browse_, &QPushButton::clicked, this, &CChangeSourcePathDlg::browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &CChangeSourcePathDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CChangeSourcePathDlg::reject);
    // An empty folder would turn every path into one below the root.
    auto updateOk = [this] { ok_->setEnabled(!pathEdit_->text().trimmed().isEmpty()); };
    connect(pathEdit_, &QLineEdit::textChanged, this, updateOk);
    updateOk();
}

QString CChangeSourcePathDlg::withOneTrailingSeparator(QString folder) {
    while (folder.endsWith(kSeparator)) folder.chop(1);
    return folder + kSeparator;
}

void CChangeSourcePathDlg::browse() {
    QString folder = pathEdit_->text();
    if (!pickers_.folder(this, folder)) return;
    // A separator among the last two characters is taken as the end of the folder.
    if (!folder.right(2).contains(kSeparator)) folder += kSeparator;
    pathEdit_->setText(folder);
}

void CChangeSourcePathDlg::accept() {
    if (pathEdit_->text().trimmed().isEmpty()) return;
    path_ = withOneTrailingSeparator(pathEdit_->text());
    pathEdit_->setText(path_);
    QDialog::accept();
}

}  // namespace pcn::gui
