#include "distribution/gui/mail/CMailSelectDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "distribution/MailSender.h"
#include "distribution/PackageOutputFiles.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormProblem.h"
#include "editing/gui/pickers/Pickers.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"
#include "platform/gui/BusyNote.h"
#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {
namespace {
constexpr const char* kAddFileSection = "Settings\\Mail Add File";
}

CMailSelectDlg::CMailSelectDlg(const CCabObj& package, EditingContext& context, QWidget* parent)
    : QDialog(parent), package_(package), context_(context), files_(new QListWidget) {
    setObjectName("CMailSelectDlg");
    setHelpTopic(this, "project_send_mail.htm");
    setWindowTitle(tr("Selecting Files"));
    auto* layout = new QVBoxLayout(this);
    auto* projectRow = new QHBoxLayout;
    projectRow->addWidget(new QLabel(tr("Project:"), this));
    auto* project = new QLineEdit(QString::fromStdString(package.m_strProduct), this);
    project->setObjectName("project");
    project->setReadOnly(true);
    projectRow->addWidget(project);
    layout->addLayout(projectRow);
    auto* group = new QGroupBox(tr("Select Files to Send via EMail"), this);
    auto* groupLayout = new QVBoxLayout(group);
    files_.widget()->setParent(group);
    files_.widget()->setObjectName("fileList");
    // Room for file names such as "Acme Tools Setup W.EXE" side by side with the INF.
    files_.widget()->setMinimumWidth(files_.widget()->fontMetrics().averageCharWidth() * 56);
    groupLayout->addWidget(files_.widget());
    auto* add = new QPushButton(tr("Add..."), group);
    add->setObjectName("addFile");
    groupLayout->addWidget(add, 0, Qt::AlignRight);
    layout->addWidget(group);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(add, &QPushButton::clicked, this, &CMailSelectDlg::addFile);
    connect(files_.widget(), &QListWidget::itemDoubleClicked, this, [](QListWidgetItem* item) {
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
}

void CMailSelectDlg::fillList() {
    const SendableFiles offered = packageFilesToSend(package_);
    if (offered.outputFilesMissing)
        context_.ui.message(kOutputFilesMissingMail, kMessageCaption, Icon::Question, Buttons::Ok, Answer::Ok);
    for (const auto& file : offered.files) files_.add(QString::fromStdString(file.path), file.checked);
}

void CMailSelectDlg::addFile() {
    SettingsStore& settings = context_.settings;
    QString path = QString::fromStdString(settings.readString(kAddFileSection, "Last File", ""));
    if (path.isEmpty()) path = QString::fromStdString(package_.m_strTargetFolder);
    int filterIndex = settings.readInt(kAddFileSection, "Last Index", 2);
    if (!context_.pickers.fileToSend(this, path, filterIndex)) return;
    files_.add(path, true);
    settings.writeInt(kAddFileSection, "Last Index", filterIndex);
    settings.writeString(kAddFileSection, "Last File", path.toStdString());
}

namespace {

// xdg-email returns once the mail program has the new message, but a mail
// program that it had to start may hold it until that program is closed.
// The user may stop waiting: the send then goes on by itself, and a failure
// is still reported when it comes.
void sendOffTheUiThread(std::vector<std::string> attachments, UserInterface& ui, QWidget* parent) {
    auto sent = std::make_shared<std::atomic<bool>>(false);
    std::thread([attachments = std::move(attachments), &ui, sent] {
        sendMail(attachments, ui);
        *sent = true;
    }).detach();
    BusyNote note(parent, QObject::tr("Send Mail"),
                  QObject::tr("Opening a new message with the files attached in your mail program..."));
    setHelpTopic(&note.dialog(), "project_send_mail.htm");
    note.setCancel([] {}, QObject::tr("Stop Waiting"));
    note.run([&] {
        while (!*sent && !note.cancelled()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    });
}

}  // namespace

void RunSendMail(const CCabObj& package, EditingContext& context, QWidget* parent) {
    CMailSelectDlg dialog(package, context, parent);
    dialog.fillList();
    if (dialog.exec() != QDialog::Accepted) return;
    std::vector<std::string> attachments;
    for (const QString& path : dialog.attachments()) attachments.push_back(path.toStdString());
    sendOffTheUiThread(std::move(attachments), context.ui, parent);
}

}  // namespace pcn::gui
