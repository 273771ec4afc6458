#include "signing/gui/CTrustDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "editing/gui/forms/FormSupport.h"

namespace pcn::gui {
namespace {

QString orNone(const std::string& text) {
    return text.empty() ? QObject::tr("(none)") : QString::fromStdString(text);
}

}  // namespace

CTrustDialog::CTrustDialog(const TrustDetails& d, QWidget* parent) : QDialog(parent) {
    setObjectName("CTrustDialog");
    setWindowTitle(tr("Security Warning"));
    setMinimumWidth(520);
    auto* icon = new QLabel(this);
    const auto which = d.chainTrusted ? QStyle::SP_MessageBoxInformation : QStyle::SP_MessageBoxWarning;
    icon->setPixmap(style()->standardIcon(which).pixmap(32, 32));
    auto* question = new QLabel(
        tr("Do you want to trust the signature of\n%1?").arg(QString::fromStdString(d.file)), this);
    question->setWordWrap(true);

    auto* form = new QFormLayout;
    auto row = [&](const char* name, const QString& label, const QString& text) {
        auto* value = namedWidget(new QLabel(text, this), name);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        form->addRow(label, value);
    };
    row("subject", tr("Signed by:"), orNone(d.subject));
    row("issuer", tr("Issued by:"), orNone(d.issuer));
    row("validity", tr("Valid:"), tr("%1 to %2").arg(orNone(d.validFrom), orNone(d.validTo)));
    row("digest", tr("Digest:"), orNone(d.digest));
    row("timeStamp", tr("Time stamp:"), d.timeStamp.empty() ? tr("none") : QString::fromStdString(d.timeStamp));
    row("chain", tr("Certificate chain:"),
        d.chainTrusted ? tr("trusted")
                       : tr("NOT trusted: %1").arg(QString::fromStdString(d.problem.empty() ? "unknown" : d.problem)));

    auto* buttons = new QDialogButtonBox(this);
    accept_ = namedWidget(buttons->addButton(tr("&Accept"), QDialogButtonBox::AcceptRole), "acceptButton");
    decline_ = namedWidget(buttons->addButton(tr("&Decline"), QDialogButtonBox::RejectRole), "declineButton");
    // Enter declines, and so does the focus a keyboard user starts with,
    // unless the chain ends in a trusted root.
    accept_->setAutoDefault(false);
    decline_->setDefault(true);
    if (!d.chainTrusted) decline_->setFocus();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(question, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString CTrustDialog::fieldText(const char* name) const {
    auto* label = findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QString();
}

}  // namespace pcn::gui
