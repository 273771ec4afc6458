#include "distribution/gui/ftp/CFTPPropertyPageNew.h"

#include <QRegularExpression>
#include <QVBoxLayout>

#include <memory>

#include "app/core/CPCNDoc.h"
#include "distribution/gui/ftp/CFTPPropertySheet.h"
#include "editing/gui/forms/FormProblem.h"

namespace pcn::gui {

CFTPPropertyPageNew::CFTPPropertyPageNew(CFTPPropertySheet& sheet) : CFTPPropertyPage(sheet, tr("New FTP Site")) {
    setObjectName("CFTPPropertyPageNew");
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto* label = new QLabel(tr("&Site Description:"), this);
    description_ = new QLineEdit(this);
    description_->setObjectName("description");
    label->setBuddy(description_);
    grid->addWidget(label, 0, 0);
    grid->addWidget(description_, 0, 1);
    fields_ = SiteFields::create(this, grid, 1);
    layout->addLayout(grid);
    layout->addStretch();
}

void CFTPPropertyPageNew::OnInitDialog() {
    fields_.show(CFTPObj{});
    fields_.server->setText("ftp://");
}

void CFTPPropertyPageNew::OnSetActive() {
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext);
}

SiteAddress splitSiteAddress(const QString& typed) {
    static const QRegularExpression url(QStringLiteral("^((?:ftps?|FTPS?)://)?([^/:@\\s]+)(?::(\\d+))?(/.*)?$"));
    const QString text = typed.trimmed();
    const QRegularExpressionMatch match = url.match(text);
    if (!match.hasMatch()) return {text, -1, {}};
    SiteAddress address{match.captured(1) + match.captured(2), -1, {}};
    if (match.hasCaptured(3)) {
        bool ok = false;
        const int port = match.captured(3).toInt(&ok);
        address.port = ok && port > 0 && port <= 65535 ? port : 0;
    }
    QString path = match.captured(4);
    while (path.endsWith('/')) path.chop(1);
    address.directory = path;
    return address;
}

// A site typed as an address ("ftp://host:2121/incoming/") gives the port
// and the folder to the fields made for them.
void CFTPPropertyPageNew::takeAddressApart() {
    const SiteAddress address = splitSiteAddress(fields_.server->text());
    if (address.server.isEmpty() || address.server.endsWith("://")) return;
    fields_.server->setText(address.server);
    if (address.port > 0) fields_.port->setText(QString::number(address.port));
    if (address.port == 0) fields_.port->setText(QString());
    if (!address.directory.isEmpty() && fields_.directory->text().trimmed().isEmpty())
        fields_.directory->setText(address.directory);
}

FormCheck CFTPPropertyPageNew::check() const {
    CPCNDoc& doc = ftpSheet().document();
    const std::string description = description_->text().toStdString();
    const QString server = fields_.server->text().trimmed();
    const CFTPObj* same = doc.FindFtpSite(description);
    if (same && same != made_)
        return FormProblem{tr("Duplicate Site Description\nPlease enter a new description.\n\nA site named \"%1\" "
                              "exists already; each site needs a description of its own.")
                               .arg(description_->text()),
                           description_};
    if (description.empty())
        return FormProblem{tr("Description Required.\n\nEnter a name of your own for the site, such as "
                              "\"Company web server\"."),
                           description_};
    if (server.isEmpty() || server.endsWith("://"))
        return FormProblem{tr("FTP Site Required.\n\nEnter the server's name or address, such as "
                              "ftp.example.com or ftp://192.168.1.5:2121/."),
                           fields_.server};
    if (fields_.portNumber() == 0)
        return FormProblem{tr("Port number invalid.\n\nThe port is a number from 1 to 65535; FTP servers usually "
                              "listen on 21."),
                           fields_.port};
    return std::nullopt;
}

bool CFTPPropertyPageNew::OnWizardNext() {
    takeAddressApart();
    if (ShowProblem(context(), check())) return false;
    // Back to the site just made and Next again: the same site, corrected.
    CFTPObj* site = made_;
    if (!site) {
        auto added = std::make_unique<CFTPObj>();
        site = added.get();
        ftpSheet().document().m_listFtpSites.push_back(std::move(added));
        made_ = site;
    }
    site->m_strDescription = description_->text().toStdString();
    fields_.store(*site);
    site->m_bOverwriteExisting = 1;
    ftpSheet().setChosenSite(site);
    return true;
}

int CFTPPropertyPageNew::nextPageId() const { return CFTPPropertySheet::kFilesPage; }
int CFTPPropertyPageNew::backPageId() const { return CFTPPropertySheet::kSelectSitePage; }

}  // namespace pcn::gui
