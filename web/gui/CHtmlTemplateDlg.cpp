#include "web/gui/CHtmlTemplateDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "distribution/ErrorReport.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/pickers/Pickers.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "platform/gui/HelpTopicName.h"
#include "web/SiteAddress.h"

namespace pcn::gui {
namespace {

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

std::string CHtmlTemplateDlg::pageText() const {
    // The page's lines end with CR LF, as the template was built; the edit box
    // keeps bare line ends.
    std::string text = text_->toPlainText().toStdString();
    std::string page;
    page.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') page += '\r';
        page += c;
    }
    return page;
}

CHtmlTemplateDlg::CHtmlTemplateDlg(const std::string& componentPath, EditingContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      facts_(ReadComponentTemplateFacts(componentPath)),
      siteBase_(SiteBaseAddress(context.settings)) {
    setObjectName("CHtmlTemplateDlg");
    setWindowTitle(tr("Component Html Template"));
    setHelpTopic(this, "component_html_template.htm");

    includeLpk_ = new QCheckBox(tr("Include License Manager Object (LPK)"), this);
    includeLpk_->setObjectName("includeLpk");
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("templateText");
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setMinimumSize(620, 380);

    QPushButton* runButton = button(tr("&Run"), "runButton", this);
    QPushButton* saveButton = button(tr("&Save As..."), "saveAsButton", this);
    QPushButton* copyButton = button(tr("&Copy"), "copyButton", this);
    QPushButton* closeButton = button(tr("&Close"), "closeButton", this);
    closeButton->setDefault(true);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {runButton, saveButton, copyButton}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* left = new QVBoxLayout;
    left->addWidget(includeLpk_);
    left->addWidget(text_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(includeLpk_, &QCheckBox::clicked, this, &CHtmlTemplateDlg::rebuild);
    connect(runButton, &QPushButton::clicked, this, &CHtmlTemplateDlg::run);
    connect(saveButton, &QPushButton::clicked, this, &CHtmlTemplateDlg::saveAs);
    connect(copyButton, &QPushButton::clicked, this, &CHtmlTemplateDlg::copy);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    rebuild();
}

std::string CHtmlTemplateDlg::previewFile() {
    return withTrailingSeparator(QDir::tempPath().toStdString()) + std::string(html_template::kPreviewFile);
}

void CHtmlTemplateDlg::rebuild() {
    text_->setPlainText(
        QString::fromStdString(BuildComponentTemplate(facts_, includeLpk_->isChecked(), siteBase_)));
}

bool CHtmlTemplateDlg::writeText(const std::string& path) {
    const WriteResult written = writeFileAtomically(path, pageText());
    if (written.ok) return true;
    reportGivenError(context_.ui, "Unable to create file:\n" + path, written.error);
    return false;
}

void CHtmlTemplateDlg::run() {
    const std::string path = previewFile();
    if (writeText(path)) QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void CHtmlTemplateDlg::saveAs() {
    using namespace html_template;
    const std::string last = context_.settings.readString(kSection, kLastSavePath, "");
    QString path = QString::fromStdString(folderPart(last) + facts_.baseName + ".htm");
    if (!context_.pickers.webPageToSave(this, path) || path.isEmpty()) return;
    if (writeText(path.toStdString())) context_.settings.writeString(kSection, kLastSavePath, path.toStdString());
}

void CHtmlTemplateDlg::copy() { QApplication::clipboard()->setText(QString::fromStdString(pageText())); }

}  // namespace pcn::gui
