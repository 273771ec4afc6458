#pragma once
// "Check Trust (2 of 2)": checks the file quietly and, when asked, once more
// with the trust dialog, and tells what the check and the user said.

#include "signing/gui/ToolProgressPage.h"

namespace pcn::gui {

class CCheckTrustSheet;

class CCheckTrustPage2 : public ToolProgressPage {
    Q_OBJECT
public:
    explicit CCheckTrustPage2(CCheckTrustSheet& sheet);
};

}  // namespace pcn::gui
