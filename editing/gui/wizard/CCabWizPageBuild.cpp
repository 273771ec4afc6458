#include "editing/gui/wizard/CCabWizPageBuild.h"

#include <QApplication>
#include <QPushButton>
#include <QVBoxLayout>

#include "building/gui/BuildHostPanel.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "platform/gui/Sounds.h"

namespace pcn::gui {

CCabWizPageBuild::CCabWizPageBuild(CCabWizSheet& sheet) : CCabWizPage(sheet, tr("Build File(s)")) {
    setObjectName("CCabWizPageBuild");
    panel_ = new BuildHostPanel(context().ui, context().settings, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel_);
    connect(panel_, &BuildHostPanel::buildEnded, this, &CCabWizPageBuild::buildEnded);
    connect(&sheet, &QWizard::currentIdChanged, this, [this](int id) {
        if (id != this->sheet().id(this)) pageLeft();
    });
    // However the sheet closes, the worker ends before the package it builds can go.
    connect(&sheet, &QDialog::finished, panel_, &BuildHostPanel::endBuildBeforeClosing);
}

CCabWizPageBuild::~CCabWizPageBuild() { panel_->endBuildBeforeClosing(); }

void CCabWizPageBuild::OnSetActive() {
    sheet().setWizardButtons(CCabWizSheet::kWizDisabledFinish);
    // A new build after a failed one may be cancelled again.
    sheet().cancelButton()->setText(tr("Cancel"));
    sheet().cancelButton()->setEnabled(true);
    panel_->startBuild(package());
}

void CCabWizPageBuild::buildEnded(bool success) {
    if (success) {
        sheet().setWizardButtons(CCabWizSheet::kWizFinish);
        sheet().cancelButton()->setEnabled(false);
        sheet().finishButton()->setText(tr("&Close"));
        sheet().m_bBuildFailed = 0;
    } else {
        sheet().m_bBuildFailed = 1;
        sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext);
        sheet().nextButton()->setText(tr("&Close"));
    }
    playSound(success ? Sound::Default : Sound::Error);
}

// Next is "&Close" after a failed build: the wizard ends with Finish and the
// caller keeps the package as one still to be built.
bool CCabWizPageBuild::OnWizardNext() {
    // Closing with Finish checks the current page once more: let it through.
    if (finishing_) return true;
    finishing_ = true;
    sheet().finishWizard();
    finishing_ = false;
    return false;
}

bool CCabWizPageBuild::OnWizardFinish() {
    finishing_ = true;
    return true;
}

bool CCabWizPageBuild::OnQueryCancel() {
    if (!panel_->isBuilding()) return true;
    sheet().cancelButton()->setText(tr("Close"));
    panel_->requestAbort();
    return false;
}

int CCabWizPageBuild::backPageId() const { return CCabWizSheet::kSummaryPage; }

void CCabWizPageBuild::pageLeft() {
    if (sheet().nextButton()->text() != tr("&Close")) return;
    sheet().nextButton()->setText(tr("&Next >"));
}

}  // namespace pcn::gui
