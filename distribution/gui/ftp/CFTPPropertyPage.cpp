#include "distribution/gui/ftp/CFTPPropertyPage.h"

#include <QIntValidator>

#include "distribution/gui/ftp/CFTPPropertySheet.h"
#include "model/CFTPObj.h"

namespace pcn::gui {

CFTPPropertyPage::CFTPPropertyPage(CFTPPropertySheet& sheet, const QString& caption)
    : CCabWizPage(sheet, caption), ftpSheet_(sheet) {}

SiteFields SiteFields::create(QWidget* parent, QGridLayout* grid, int row) {
    auto field = [&](const char* name, const QString& label, QLabel*& labelOut, QLineEdit*& editOut) {
        labelOut = new QLabel(label, parent);
        editOut = new QLineEdit(parent);
        editOut->setObjectName(name);
        labelOut->setBuddy(editOut);
        grid->addWidget(labelOut, row, 0);
        grid->addWidget(editOut, row, 1);
        ++row;
    };
    SiteFields f{};
    field("server", QObject::tr("&FTP Site:"), f.serverLabel, f.server);
    field("port", QObject::tr("Port &No:"), f.portLabel, f.port);
    f.port->setValidator(new QIntValidator(0, 65535, f.port));
    f.port->setMaximumWidth(f.port->fontMetrics().horizontalAdvance("000000") + 16);
    field("userName", QObject::tr("&User Name:"), f.userLabel, f.userName);
    field("password", QObject::tr("&Password:"), f.passwordLabel, f.password);
    f.password->setEchoMode(QLineEdit::Password);
    field("directory", QObject::tr("&Directory:"), f.directoryLabel, f.directory);
    f.passive = new QCheckBox(QObject::tr("P&assive mode (for servers behind firewalls)"), parent);
    f.passive->setObjectName("passive");
    f.tls = new QCheckBox(QObject::tr("Use &TLS (FTPS)"), parent);
    f.tls->setObjectName("tls");
    grid->addWidget(f.passive, row++, 1);
    grid->addWidget(f.tls, row++, 1);
    // Data connections over TLS are always passive.
    QObject::connect(f.tls, &QCheckBox::toggled, f.passive, [passive = f.passive](bool on) {
        if (on) passive->setChecked(true);
        passive->setEnabled(!on);
    });
    return f;
}

void SiteFields::show(const CFTPObj& site) const {
    server->setText(QString::fromStdString(site.m_strServer));
    port->setText(QString::number(site.m_nPort));
    userName->setText(QString::fromStdString(site.m_strUserName));
    password->setText(QString::fromStdString(site.m_strPassword));
    directory->setText(QString::fromStdString(site.m_strDirectory));
    passive->setChecked(site.m_bPassive != 0);
    tls->setChecked(site.m_bUseTls != 0);
}

void SiteFields::store(CFTPObj& site) const {
    site.m_strServer = server->text().toStdString();
    site.m_nPort = portNumber();
    site.m_strUserName = userName->text().toStdString();
    site.m_strPassword = password->text().toStdString();
    site.m_strDirectory = directory->text().toStdString();
    site.m_bPassive = passive->isChecked() ? 1 : 0;
    site.m_bUseTls = tls->isChecked() ? 1 : 0;
}

void SiteFields::setVisible(bool visible) const {
    for (QWidget* w : std::initializer_list<QWidget*>{serverLabel, server, portLabel, port, userLabel, userName,
                                                       passwordLabel, password, directoryLabel, directory, passive,
                                                       tls})
        w->setVisible(visible);
}

int SiteFields::portNumber() const {
    bool ok = false;
    const int value = port->text().trimmed().toInt(&ok);
    return ok && value > 0 && value <= 65535 ? value : 0;
}

}  // namespace pcn::gui
