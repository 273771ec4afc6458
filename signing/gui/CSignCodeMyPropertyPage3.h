#pragma once
// "Digital Signature": signs the file with the job the earlier pages filled,
// then time-stamps it and checks its trust when asked.

#include "signing/gui/ToolProgressPage.h"

namespace pcn::gui {

class CSignCodePropertySheet;

class CSignCodeMyPropertyPage3 : public ToolProgressPage {
    Q_OBJECT
public:
    explicit CSignCodeMyPropertyPage3(CSignCodePropertySheet& sheet);
};

}  // namespace pcn::gui
