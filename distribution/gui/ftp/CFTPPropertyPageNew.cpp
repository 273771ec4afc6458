#include "distribution/gui/ftp/CFTPPropertyPageNew.h"

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

bool CFTPPropertyPageNew::OnWizardNext() {
    CPCNDoc& doc = ftpSheet().document();
    const std::string description = description_->text().toStdString();
    const QString server = fields_.server->text().trimmed();
    FormCheck problem;
    if (doc.FindFtpSite(description))
        problem = FormProblem{tr("Duplicate Site Description\nPlease enter a new description."), description_};
    else if (description.empty())
        problem = FormProblem{tr("Description Required."), description_};
    else if (server.isEmpty() || server == "ftp://")
        problem = FormProblem{tr("FTP Site Required."), fields_.server};
    else if (fields_.portNumber() == 0)
        problem = FormProblem{tr("Port number invalid."), fields_.port};
    if (ShowProblem(context(), problem)) return false;

    auto site = std::make_unique<CFTPObj>();
    site->m_strDescription = description;
    fields_.store(*site);
    site->m_bOverwriteExisting = 1;
    ftpSheet().setChosenSite(site.get());
    doc.m_listFtpSites.push_back(std::move(site));
    return true;
}

int CFTPPropertyPageNew::nextPageId() const { return CFTPPropertySheet::kFilesPage; }
int CFTPPropertyPageNew::backPageId() const { return CFTPPropertySheet::kSelectSitePage; }

}  // namespace pcn::gui
