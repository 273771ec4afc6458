#pragma once
// "General Information": the product, the component and the scan options;
// Next scans the component's dependencies when something that decides them
// changed. The fields start from the values given last time (Settings\Inf).

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn::gui {

class CWebWizSheet;
class DependencyScan;
class WebGeneralForm;
struct WebSheetState;

class CWebWizPage1 : public CCabWizPage {
    Q_OBJECT
public:
    explicit CWebWizPage1(CWebWizSheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnWizardNext() override;
    bool OnQueryCancel() override;

    WebGeneralForm* form() const { return form_; }
    DependencyScan* scan() const { return scan_; }

private:
    void productEdited(const QString& text);
    void componentChanged(const QString& text);
    bool checkFields();
    void storeFields();
    void rememberFields();

    WebSheetState& state_;
    WebGeneralForm* form_;
    DependencyScan* scan_;
};

}  // namespace pcn::gui
