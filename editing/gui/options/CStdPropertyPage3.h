#pragma once
// Options, Code Signing tab: the argument templates of the signing and the
// time-stamp commands, each with a button that brings back the default.

#include "editing/gui/PropertySheet.h"

class QPlainTextEdit;
class QPushButton;

namespace pcn::gui {

class CStdProperties;
struct EditingContext;

class CStdPropertyPage3 : public CPropertyPage {
    Q_OBJECT
public:
    explicit CStdPropertyPage3(CStdProperties& sheet);

    void OnInitDialog() override;
    bool OnApply() override;

private:
    QPlainTextEdit* addTemplate(const QString& title, const char* editName, const char* buttonName,
                                const QString& defaultText);

    EditingContext& context_;
    QPlainTextEdit* signCode_ = nullptr;
    QPlainTextEdit* timeStamp_ = nullptr;
    bool loading_ = false;
};

}  // namespace pcn::gui
