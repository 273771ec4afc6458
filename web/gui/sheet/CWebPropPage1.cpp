#include "web/gui/sheet/CWebPropPage1.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <utility>

#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormProblem.h"
#include "model/CCabObj.h"
#include "web/NewWebPackage.h"
#include "web/gui/DependencyScan.h"
#include "web/gui/forms/WebGeneralForm.h"
#include "web/gui/sheet/CWebPropSheet.h"

namespace pcn::gui {

CWebPropPage1::CWebPropPage1(CWebPropSheet& sheet)
    : CCabPropertyPage(sheet, tr("General Information")), state_(sheet.state()) {
    setObjectName("CWebPropPage1");
    form_ = new WebGeneralForm(sheet.context().pickers, this);
    scan_ = new DependencyScan(form_->status, form_->progress, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
    layout->addStretch();
}

void CWebPropPage1::OnInitDialog() {
    state_.m_bRescan = 0;
    const CCabObj& p = package();
    const CWebObj& web = *p.m_pWeb;
    {
        const Loading loading(*this);
        form_->productName->setText(QString::fromStdString(p.m_strProduct));
        form_->componentPath->setText(QString::fromStdString(web.m_strFilePath));
        form_->targetFolder->setText(QString::fromStdString(p.m_strTargetFolder));
        form_->scan->setChecked(web.m_bScan != 0);
        form_->scanDynamic->setChecked(web.m_bScanDynamic != 0);
        form_->applyScanRule();
    }
    connect(form_->componentPath, &QLineEdit::textChanged, this, &CWebPropPage1::noteRescan);
    connect(form_, &WebGeneralForm::scanOptionClicked, this, &CWebPropPage1::noteRescan);
    connect(form_, &WebGeneralForm::componentBrowsed, this, &CWebPropPage1::noteRescan);
    connect(form_, &WebGeneralForm::targetBrowsed, this, &CWebPropPage1::noteChange);
    markModifiedOnChange({form_->productName, form_->targetFolder, form_->htmTemplate, form_->includeLpk});
}

void CWebPropPage1::noteRescan() {
    if (isLoading()) return;
    state_.m_bRescan = 1;
    noteChange();
}

void CWebPropPage1::OnSetActive() {
    const CWebObj& web = *package().m_pWeb;
    const Loading loading(*this);
    form_->progress->setValue(0);
    form_->htmTemplate->setChecked(web.m_bHtmTemplate != 0);
    form_->includeLpk->setChecked(web.m_bHtmTemplate != 0 && web.m_bLpk != 0);
    form_->applyHtmRule();
}

bool CWebPropPage1::storeAndScan() {
    // Names that would end a line or a section of the INF keep the user here.
    for (const auto& [problem, field] :
         {std::pair{WebProductLineProblem(form_->productName->text().toStdString()), form_->productName},
          std::pair{WebComponentNameProblem(form_->componentPath->text().toStdString()), form_->componentPath}})
        if (!problem.empty()) return !ShowProblem(context(), FormProblem{QString::fromStdString(problem), field});
    CCabObj& p = package();
    CWebObj& web = *p.m_pWeb;
    p.m_strProduct = form_->productName->text().toStdString();
    p.m_strTargetFolder = form_->targetFolder->text().toStdString();
    // The file name and folder go with the path: the scan, the Dependencies
    // caption and its Add button use them.
    web.SetComponentPath(form_->componentPath->text().toStdString());
    web.m_bScan = form_->scan->isChecked() ? 1 : 0;
    web.m_bScanDynamic = form_->scanDynamic->isChecked() ? 1 : 0;
    web.m_bHtmTemplate = form_->htmTemplate->isChecked() ? 1 : 0;
    web.m_bLpk = form_->includeLpk->isChecked() ? 1 : 0;
    if (!state_.m_bRescan) return true;

    // The scan shows its progress on this tab, also when the user is moving
    // to another one; that one is shown once the scan has ended.
    QTabWidget* tabs = sheet().tabs();
    const int target = tabs->currentIndex();
    {
        const QSignalBlocker quiet(tabs);
        tabs->setCurrentWidget(this);
    }
    const DependencyScan::Outcome outcome =
        scan_->run(p, context().ui,
                   {form_->productName, form_->componentPath, form_->browseComponent, form_->scan,
                    form_->scanDynamic, form_->targetFolder, form_->browseTarget, form_->htmTemplate,
                    form_->includeLpk, tabs->tabBar(), sheet().okButton(), sheet().applyButton()});
    if (outcome == DependencyScan::Outcome::Cancelled) return false;
    {
        const QSignalBlocker quiet(tabs);
        tabs->setCurrentIndex(target);
    }
    if (outcome == DependencyScan::Outcome::Scanned) {
        form_->status->clear();
        state_.m_bRescan = 0;
        state_.forgetOsChoices();
    }
    return true;
}

bool CWebPropPage1::OnKillActive() { return storeAndScan(); }

// Apply on this tab has stored it already on the way (its leave step).
bool CWebPropPage1::OnApply() { return sheet().currentPage() == this || storeAndScan(); }

bool CWebPropPage1::OnQueryCancel() {
    if (!scan_->running()) return true;
    scan_->cancel();
    return false;
}

}  // namespace pcn::gui
