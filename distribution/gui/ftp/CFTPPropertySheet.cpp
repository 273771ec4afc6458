#include "distribution/gui/ftp/CFTPPropertySheet.h"

#include "app/core/CPCNDoc.h"
#include "distribution/ErrorReport.h"
#include "distribution/gui/ftp/CFTPPropertyPage1.h"
#include "distribution/gui/ftp/CFTPPropertyPage2.h"
#include "distribution/gui/ftp/CFTPPropertyPage3.h"
#include "distribution/gui/ftp/CFTPPropertyPageNew.h"
#include "editing/gui/EditingContext.h"
#include "ftp/FtpLibrary.h"
#include "model/FtpSiteOptions.h"
#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {

CFTPPropertySheet::CFTPPropertySheet(CCabObj& package, CPCNDoc& doc, FtpLibrary& library, EditingContext& context,
                                     QWidget* parent)
    : CCabWizSheet(package, context, parent, WithoutCabinetPages{}), doc_(doc), library_(library) {
    setObjectName("CFTPPropertySheet");
    setWindowTitle(tr("Send Project Files (FTP)"));
    addCabPage(kSelectSitePage, new CFTPPropertyPage1(*this));
    addCabPage(kNewSitePage, new CFTPPropertyPageNew(*this));
    addCabPage(kFilesPage, new CFTPPropertyPage2(*this));
    addCabPage(kSendingPage, new CFTPPropertyPage3(*this));
    setStartId(kSelectSitePage);
    setHelpTopic(this, "project_send_ftp.htm");
    const std::pair<int, const char*> topics[] = {
        {kSelectSitePage, "project_send_ftp.htm#site-selection"},
        {kNewSitePage, "project_send_ftp.htm#new-site"},
        {kFilesPage, "project_send_ftp.htm#files"},
        {kSendingPage, "project_send_ftp.htm#sending"},
    };
    setPageTopics(topics);
}

bool CFTPPropertySheet::saveSites() {
    const std::string failed = "Unable to save the FTP sites in " + doc_.m_szFtpFile;
    std::string reason;
    if (!doc_.SaveFtpSites(&reason)) {
        context().ui.message(failed + ":\n" + reason, "Error", Icon::Error, Buttons::Ok, Answer::Ok);
        return false;
    }
    int error = 0;
    if (!saveFtpSiteOptions(doc_.m_szFtpFile, doc_.m_listFtpSites, &error)) {
        reportWithErrorDetails(context().ui, failed, error);
        return false;
    }
    return true;
}

void RunFtpSendSheet(CCabObj& package, CPCNDoc& doc, EditingContext& context, QWidget* parent) {
    FtpLibrary library;
    if (!library.load(context.ui)) return;
    loadFtpSiteOptions(doc.m_szFtpFile, doc.m_listFtpSites);
    {
        CFTPPropertySheet sheet(package, doc, library, context, parent);
        sheet.exec();
    }
    if (parent) parent->window()->update();
    package.m_pFtpSite = nullptr;
    library.unload();
}

}  // namespace pcn::gui
