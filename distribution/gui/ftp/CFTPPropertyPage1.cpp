#include "distribution/gui/ftp/CFTPPropertyPage1.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>
#include <QVBoxLayout>

#include "app/core/CPCNDoc.h"
#include "distribution/gui/ftp/CFTPPropertySheet.h"
#include "editing/gui/forms/FormProblem.h"
#include "model/CCabObj.h"

namespace pcn::gui {

CFTPPropertyPage1::CFTPPropertyPage1(CFTPPropertySheet& sheet) : CFTPPropertyPage(sheet, tr("FTP Site Selection")) {
    setObjectName("CFTPPropertyPage1");
    auto* layout = new QVBoxLayout(this);
    createNew_ = new QRadioButton(tr("Create new FTP Site"), this);
    createNew_->setObjectName("createNewSite");
    useExisting_ = new QRadioButton(tr("Use existing FTP Site"), this);
    useExisting_->setObjectName("useExistingSite");
    layout->addWidget(createNew_);
    layout->addWidget(useExisting_);
    auto* grid = new QGridLayout;
    siteLabel_ = new QLabel(tr("FTP &Site:"), this);
    sites_ = new QComboBox(this);
    sites_->setObjectName("siteCombo");
    siteLabel_->setBuddy(sites_);
    grid->addWidget(siteLabel_, 0, 0);
    grid->addWidget(sites_, 0, 1);
    fields_ = SiteFields::create(this, grid, 1);
    auto* projectLabel = new QLabel(tr("Project:"), this);
    project_ = new QLineEdit(this);
    project_->setObjectName("project");
    project_->setReadOnly(true);
    grid->addWidget(projectLabel, 8, 0);
    grid->addWidget(project_, 8, 1);
    layout->addLayout(grid);
    layout->addStretch();
    connect(createNew_, &QRadioButton::toggled, this, &CFTPPropertyPage1::updateMode);
    connect(sites_, &QComboBox::currentIndexChanged, this, &CFTPPropertyPage1::showSelectedSite);
}

void CFTPPropertyPage1::OnInitDialog() {
    listSites();
    if (sites_->count() == 0) {
        createNew_->setChecked(true);
    } else {
        useExisting_->setChecked(true);
        sites_->setCurrentIndex(0);
        // The site this package was last sent to, when there still is one.
        const int last = sites_->findText(QString::fromStdString(package().m_strFtpSite), Qt::MatchExactly);
        if (last >= 0) sites_->setCurrentIndex(last);
    }
    project_->setText(QString::fromStdString(package().m_strProduct));
    showSelectedSite();
    updateMode();
}

void CFTPPropertyPage1::OnSetActive() {
    sheet().setWizardButtons(CCabWizSheet::kWizNext);
    // Back here after New Site made a site: that site can now be chosen.
    if (sites_->count() != int(ftpSheet().document().m_listFtpSites.size())) {
        const QString shown = sites_->currentText();
        listSites();
        sites_->setCurrentIndex(std::max(0, sites_->findText(shown, Qt::MatchExactly)));
        showSelectedSite();
    }
}

// The stored sites in the list; "Use existing FTP Site" only when there is one.
void CFTPPropertyPage1::listSites() {
    const QSignalBlocker quiet(sites_);
    sites_->clear();
    for (const auto& site : ftpSheet().document().m_listFtpSites)
        sites_->addItem(QString::fromStdString(site->m_strDescription),
                        QVariant::fromValue(static_cast<void*>(site.get())));
    useExisting_->setEnabled(sites_->count() > 0);
}

void CFTPPropertyPage1::updateMode() {
    const bool existing = !createNew_->isChecked();
    siteLabel_->setEnabled(existing);
    sites_->setEnabled(existing);
    fields_.setVisible(existing);
}

CFTPObj* CFTPPropertyPage1::selectedSite() const {
    return sites_->currentIndex() < 0 ? nullptr : static_cast<CFTPObj*>(sites_->currentData().value<void*>());
}

void CFTPPropertyPage1::showSelectedSite() {
    if (CFTPObj* site = selectedSite()) fields_.show(*site);
}

bool CFTPPropertyPage1::OnWizardNext() {
    if (createNew_->isChecked()) return true;
    CFTPObj* site = selectedSite();
    if (!site) return !ShowProblem(context(), FormProblem{tr("Invalid Selection."), sites_});
    if (fields_.portNumber() == 0) return !ShowProblem(context(), FormProblem{tr("Port number invalid."), fields_.port});
    // Edits made here change the stored site.
    fields_.store(*site);
    ftpSheet().setChosenSite(site);
    return true;
}

int CFTPPropertyPage1::nextPageId() const {
    return createNew_->isChecked() ? CFTPPropertySheet::kNewSitePage : CFTPPropertySheet::kFilesPage;
}

}  // namespace pcn::gui
