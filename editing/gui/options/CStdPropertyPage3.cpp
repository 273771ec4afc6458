#include "editing/gui/options/CStdPropertyPage3.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "distribution/UserInterface.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/TimeStampServerForm.h"
#include "editing/gui/options/CStdProperties.h"
#include "platform/SettingsStore.h"
#include "signing/SigningJobs.h"

namespace pcn::gui {
namespace {

QString fromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

CStdPropertyPage3::CStdPropertyPage3(CStdProperties& sheet)
    : CPropertyPage(sheet, "Code Signing"), context_(sheet.context()) {
    setObjectName("CStdPropertyPage3");
    new QVBoxLayout(this);
    signCode_ = addTemplate("SignCode Commands", "signCodeCommand", "defaultSignCode",
                            fromView(codesign::kDefaultSignCodeCommand));
    timeStamp_ = addTemplate("Time Stamp Commands", "timeStampCommand", "defaultTimeStamp",
                             fromView(codesign::kDefaultTimeStampCommand));
    server_ = new TimeStampServerForm(this);
    layout()->addWidget(server_);
    // The server row and the template follow each other.
    connect(server_, &TimeStampServerForm::edited, this, [this] {
        const std::string text = timeStamp_->toPlainText().toStdString();
        const std::string wanted = server_->applyTo(text);
        if (wanted == text) return;
        fromServer_ = true;
        timeStamp_->setPlainText(QString::fromStdString(wanted));
        fromServer_ = false;
    });
    connect(timeStamp_, &QPlainTextEdit::textChanged, this, [this] {
        if (!fromServer_) server_->showTemplate(timeStamp_->toPlainText().toStdString());
    });
}

QPlainTextEdit* CStdPropertyPage3::addTemplate(const QString& title, const char* editName, const char* buttonName,
                                               const QString& defaultText) {
    auto* group = new QGroupBox(title, this);
    auto* edit = new QPlainTextEdit(group);
    edit->setObjectName(editName);
    auto* button = new QPushButton("&Default", group);
    button->setObjectName(buttonName);
    auto* row = new QHBoxLayout(group);
    row->addWidget(edit, 1);
    row->addWidget(button, 0, Qt::AlignTop);
    layout()->addWidget(group);

    connect(button, &QPushButton::clicked, this, [this, edit, defaultText] {
        edit->setPlainText(defaultText);
        SetModified();
    });
    connect(edit, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading_) SetModified();
    });
    return edit;
}

void CStdPropertyPage3::OnInitDialog() {
    const SettingsStore& settings = context_.settings;
    loading_ = true;
    signCode_->setPlainText(QString::fromStdString(
        settings.readString(codesign::kSection, codesign::kSignCodeCommand, codesign::kDefaultSignCodeCommand)));
    timeStamp_->setPlainText(QString::fromStdString(
        settings.readString(codesign::kSection, codesign::kTimeStampCommand, codesign::kDefaultTimeStampCommand)));
    loading_ = false;
}

bool CStdPropertyPage3::OnApply() {
    if (const std::string problem = server_->problem(); !problem.empty()) {
        context_.ui.message(problem, "Parcelon", Icon::Error, Buttons::Ok, Answer::Ok);
        propertySheet().setActivePage(this);
        server_->url()->setFocus();
        return false;
    }
    SettingsStore& settings = context_.settings;
    const bool signCode =
        settings.writeString(codesign::kSection, codesign::kSignCodeCommand, signCode_->toPlainText().toStdString());
    const bool timeStamp =
        settings.writeString(codesign::kSection, codesign::kTimeStampCommand, timeStamp_->toPlainText().toStdString());
    return ReportUnsavedOptions(context_, signCode && timeStamp);
}

}  // namespace pcn::gui
