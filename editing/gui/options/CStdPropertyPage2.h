#pragma once
// Options, Self Extracting Cabinet tab: the extractor program that
// self-extracting cabinets start with.

#include "editing/gui/PropertySheet.h"

class QLineEdit;
class QPushButton;

namespace pcn::gui {

class CStdProperties;
struct EditingContext;

class CStdPropertyPage2 : public CPropertyPage {
    Q_OBJECT
public:
    explicit CStdPropertyPage2(CStdProperties& sheet);

    void OnInitDialog() override;
    bool OnApply() override;

    // The program folder's "Extract.Exe".
    static QString defaultExtractor();

private:
    void browse();
    void useDefault();

    EditingContext& context_;
    QLineEdit* path_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* default_ = nullptr;
};

}  // namespace pcn::gui
