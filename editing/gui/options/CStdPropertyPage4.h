#pragma once
// Options, Compression tab: how hard MSZIP and LZX work, for every package
// (each package chooses its method on its Type page).

#include "editing/gui/PropertySheet.h"

class QComboBox;

namespace pcn::gui {

class CStdProperties;
struct EditingContext;

class CStdPropertyPage4 : public CPropertyPage {
    Q_OBJECT
public:
    explicit CStdPropertyPage4(CStdProperties& sheet);

    void OnInitDialog() override;
    bool OnApply() override;

    QComboBox* mszipLevel = nullptr;
    QComboBox* lzxLevel = nullptr;

private:
    EditingContext& context_;
};

}  // namespace pcn::gui
