#include "distribution/gui/SendEditors.h"

#include <QPointer>
#include <QWidget>

#include "app/gui/PackageEditors.h"
#include "distribution/MailSender.h"
#include "distribution/gui/ftp/CFTPPropertySheet.h"
#include "distribution/gui/mail/CMailSelectDlg.h"

namespace pcn::gui {

void InstallSendEditors(PackageEditors& editors, EditingContext& context, QWidget* parent) {
    QPointer<QWidget> owner(parent);
    editors.sendFtp = [&context, owner](CCabObj& package, CPCNDoc& doc) {
        RunFtpSendSheet(package, doc, context, owner.data());
    };
    if (mailSupportPresent())
        editors.sendMail = [&context, owner](CCabObj& package, CPCNDoc&) {
            RunSendMail(package, context, owner.data());
        };
}

}  // namespace pcn::gui
