#pragma once
// "Inf File" tab (cabinets only): the INF file of the target folder, read
// when the tab opens (rebuilt on request when it is missing), edited here,
// and written back on Apply, with its copy in the source folder when the
// cabinet carries it.

#include "editing/gui/sheet/CCabPropertyPage.h"

class QPlainTextEdit;
class QPushButton;

namespace pcn::gui {

class InfForm;

class CCabPropertyPage8 : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CCabPropertyPage8(CCabPropertySheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnApply() override;

    // Rebuild Inf: the text generated afresh from the package.
    void OnRebuildInf();

    QPlainTextEdit* infEdit() const;
    QPushButton* rebuildButton() const;

private:
    InfForm* form_ = nullptr;
    bool loaded_ = false;
};

}  // namespace pcn::gui
