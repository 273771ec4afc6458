#pragma once
// Options, Code Signing tab: the argument templates of the signing and the
// time-stamp commands, each with a button that brings back the default, and
// the time-stamp template's server (Authenticode or RFC 3161) on its own.

#include "editing/gui/PropertySheet.h"

class QPlainTextEdit;
class QPushButton;

namespace pcn::gui {

class CStdProperties;
struct EditingContext;
class TimeStampServerForm;

class CStdPropertyPage3 : public CPropertyPage {
    Q_OBJECT
public:
    explicit CStdPropertyPage3(CStdProperties& sheet);

    TimeStampServerForm* timeStampServer() const { return server_; }

    void OnInitDialog() override;
    bool OnApply() override;

private:
    QPlainTextEdit* addTemplate(const QString& title, const char* editName, const char* buttonName,
                                const QString& defaultText);

    EditingContext& context_;
    QPlainTextEdit* signCode_ = nullptr;
    QPlainTextEdit* timeStamp_ = nullptr;
    TimeStampServerForm* server_ = nullptr;
    bool loading_ = false;
    bool fromServer_ = false;
};

}  // namespace pcn::gui
