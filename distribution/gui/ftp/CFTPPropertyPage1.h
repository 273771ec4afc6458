#pragma once
// "FTP Site Selection": create a new site or use a stored one, whose values
// are shown and may be changed here.

#include "distribution/gui/ftp/CFTPPropertyPage.h"

class QComboBox;
class QRadioButton;

namespace pcn::gui {

class CFTPPropertyPage1 : public CFTPPropertyPage {
    Q_OBJECT
public:
    explicit CFTPPropertyPage1(CFTPPropertySheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnWizardNext() override;
    int nextPageId() const override;

private:
    void listSites();
    void updateMode();
    void showSelectedSite();
    CFTPObj* selectedSite() const;

    QRadioButton* createNew_;
    QRadioButton* useExisting_;
    QLabel* siteLabel_;
    QComboBox* sites_;
    SiteFields fields_;
    QLineEdit* project_;
};

}  // namespace pcn::gui
