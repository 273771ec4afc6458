#pragma once
// "Package Summary": the package's settings as rich text. Finish saves them
// as the package's summary document next to the outputs and starts the build.

#include <string>

#include "editing/gui/wizard/CCabWizPage.h"

class QTextEdit;

namespace pcn::gui {

class CCabWizPage9 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CCabWizPage9(CCabWizSheet& sheet);

    void OnSetActive() override;
    void OnWizardBack() override;
    // Creates the target folder and writes the summary document, then moves
    // on to the Build page; the sheet stays open either way.
    bool OnWizardFinish() override;
    int nextPageId() const override;
    int backPageId() const override;

    QTextEdit* summary() const { return summary_; }
    const std::string& summaryRtf() const { return summaryRtf_; }

private:
    QTextEdit* summary_;
    std::string summaryRtf_;
};

}  // namespace pcn::gui
