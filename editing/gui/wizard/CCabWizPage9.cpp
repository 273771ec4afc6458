#include "editing/gui/wizard/CCabWizPage9.h"

#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "building/BuildSupport.h"
#include "building/Summary.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/summary/RtfTextDocument.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "model/CCabObj.h"

namespace pcn::gui {

CCabWizPage9::CCabWizPage9(CCabWizSheet& sheet) : CCabWizPage(sheet, tr("Package Summary")) {
    setObjectName("CCabWizPage9");
    summary_ = new QTextEdit(this);
    summary_->setObjectName("summaryText");
    summary_->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(summary_);
}

void CCabWizPage9::OnSetActive() {
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizFinish);
    summaryRtf_ = SummaryText(package());
    FillTextDocumentFromRtf(*summary_->document(), summaryRtf_);
    summary_->document()->setModified(false);
    summary_->moveCursor(QTextCursor::End);
}

void CCabWizPage9::OnWizardBack() { sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext); }

bool CCabWizPage9::OnWizardFinish() {
    // A document that cannot be written has been reported; the build goes on
    // without it. Only a target folder that cannot be made keeps the page.
    if (SaveSummary(package(), summaryRtf_, context().ui) == SummarySaveResult::FolderError) return false;
    sheet().setWizardButtons(CCabWizSheet::kWizDisabledFinish);
    sheet().goToPage(CCabWizSheet::kBuildPage);
    return false;
}

int CCabWizPage9::nextPageId() const { return CCabWizSheet::kBuildPage; }

int CCabWizPage9::backPageId() const {
    const CCabObj& p = package();
    switch (BuildKind(p)) {
        case kKindCabinet:
            if (p.m_bCreateInf) return CCabWizSheet::kInfPage;
            return p.m_bSignature ? CCabWizSheet::kSignaturePage : CCabWizSheet::kFilesPage;
        case kKindSelfExtractingCabinet:
            return p.m_bSignature ? CCabWizSheet::kSignaturePage : CCabWizSheet::kFilesPage;
        default:
            if (p.m_bSignature) return CCabWizSheet::kSignaturePage;
            return p.m_bMiniSetup ? CCabWizSheet::kMiniSetupPage : CCabWizSheet::kInstallationPage;
    }
}

}  // namespace pcn::gui
