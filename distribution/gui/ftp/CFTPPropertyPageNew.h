#pragma once
// "New FTP Site": defines a site, checks it and adds it to the site list.

#include "distribution/gui/ftp/CFTPPropertyPage.h"

namespace pcn::gui {

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
    QLineEdit* description_;
    SiteFields fields_;
};

}  // namespace pcn::gui
