#pragma once
// "New FTP Site": defines a site, checks it and adds it to the site list.

#include "distribution/gui/ftp/CFTPPropertyPage.h"
#include "editing/gui/forms/FormProblem.h"

namespace pcn::gui {

// A site as typed: "ftp://host:2121/incoming/" is the server
// "ftp://host", port 2121 (-1: none given, 0: not a port) and the folder
// "/incoming"; a plain host name is the server alone.
struct SiteAddress {
    QString server;
    int port = -1;
    QString directory;
};
SiteAddress splitSiteAddress(const QString& typed);

class CFTPPropertyPageNew : public CFTPPropertyPage {
    Q_OBJECT
public:
    explicit CFTPPropertyPageNew(CFTPPropertySheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnWizardNext() override;
    int nextPageId() const override;
    int backPageId() const override;

private:
    void takeAddressApart();
    FormCheck check() const;

    QLineEdit* description_;
    SiteFields fields_;
    // The site this page added to the list in this run, if any.
    CFTPObj* made_ = nullptr;
};

}  // namespace pcn::gui
