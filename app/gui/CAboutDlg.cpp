#include "app/gui/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/gui/CMainFrame.h"
#include "app/gui/PcnImages.h"
#include "platform/gui/HelpTopicName.h"

#ifndef PCN_VERSION
#define PCN_VERSION "0.0.0"
#endif

namespace pcn::gui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("CAboutDlg");
    setHelpTopic(this, "help_about.htm");
    setWindowTitle("About Parcelon");

    auto* icon = new QLabel(this);
    icon->setObjectName("icon");
    icon->setPixmap(pcnImage(kImageCabinet).pixmap(32, 32));

    auto* product = new QLabel(QString("%1 Version %2").arg(kAppTitle, PCN_VERSION), this);
    product->setObjectName("productText");
    QFont bold = product->font();
    bold.setBold(true);
    product->setFont(bold);

    auto* what = new QLabel(
        "Windows deployment packages from Linux: cabinet files, self-extractors,\n"
        "setup wizards, cabinet and web INF packages, Authenticode signing,\nFTP and mail delivery.",
        this);
    what->setObjectName("descriptionText");

    auto* copyright = new QLabel("Copyright (C) Tarnwick Development", this);
    copyright->setObjectName("copyrightText");

    auto* site = new QLabel(QString("<a href=\"%1\">%1</a>").arg(kMakerWebSite), this);
    site->setObjectName("webSiteLink");
    site->setOpenExternalLinks(true);

    auto* qt = new QLabel(QString("Built with Qt %1").arg(qVersion()), this);
    qt->setObjectName("qtVersionText");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setObjectName("buttons");
    buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 5, 1, Qt::AlignTop);
    layout->addWidget(product, 0, 1);
    layout->addWidget(what, 1, 1);
    layout->addWidget(copyright, 2, 1);
    layout->addWidget(site, 3, 1);
    layout->addWidget(qt, 4, 1);
    layout->addWidget(buttons, 5, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace pcn::gui
