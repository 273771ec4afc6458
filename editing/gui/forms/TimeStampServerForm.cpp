#include "editing/gui/forms/TimeStampServerForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editing/gui/forms/FormSupport.h"

namespace pcn::gui {

TimeStampServerForm::TimeStampServerForm(QWidget* parent) : QWidget(parent) {
    authenticode_ = namedWidget(new QRadioButton(tr("Authenticode"), this), "timeStampAuthenticode");
    rfc3161_ = namedWidget(new QRadioButton(tr("RFC 3161"), this), "timeStampRfc3161");
    url_ = namedWidget(new QLineEdit(this), "timeStampServer");
    url_->setPlaceholderText(tr("http://time-stamp server address"));
    // The address gets a line of its own: server addresses are long.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Time stamp server:"), this));
    row->addWidget(authenticode_);
    row->addWidget(rfc3161_);
    row->addStretch(1);
    column->addLayout(row);
    column->addWidget(url_);
    connect(authenticode_, &QRadioButton::clicked, this, &TimeStampServerForm::edited);
    connect(rfc3161_, &QRadioButton::clicked, this, &TimeStampServerForm::edited);
    connect(url_, &QLineEdit::textEdited, this, &TimeStampServerForm::edited);
}

void TimeStampServerForm::showTemplate(const std::string& templateText) {
    auto server = timeStampServerOf(templateText);
    const QSignalBlocker blockA(authenticode_), blockR(rfc3161_), blockU(url_);
    // Radio buttons that exclude each other cannot be cleared; for "none"
    // they stop excluding each other for a moment.
    authenticode_->setAutoExclusive(false);
    rfc3161_->setAutoExclusive(false);
    authenticode_->setChecked(server && server->kind == TimeStampServer::Kind::Authenticode);
    rfc3161_->setChecked(server && server->kind == TimeStampServer::Kind::Rfc3161);
    authenticode_->setAutoExclusive(true);
    rfc3161_->setAutoExclusive(true);
    url_->setText(server ? QString::fromStdString(server->url) : QString());
}

std::optional<TimeStampServer> TimeStampServerForm::server() const {
    if (!authenticode_->isChecked() && !rfc3161_->isChecked()) return std::nullopt;
    return TimeStampServer{rfc3161_->isChecked() ? TimeStampServer::Kind::Rfc3161
                                                 : TimeStampServer::Kind::Authenticode,
                           url_->text().trimmed().toStdString()};
}

std::string TimeStampServerForm::applyTo(const std::string& templateText) const {
    auto chosen = server();
    if (!chosen || !problem().empty() || timeStampServerOf(templateText) == chosen) return templateText;
    return withTimeStampServer(templateText, *chosen);
}

std::string TimeStampServerForm::problem() const {
    auto chosen = server();
    return chosen ? timeStampUrlProblem(chosen->url) : std::string{};
}

}  // namespace pcn::gui
