#pragma once

namespace pcn::gui {

class CCabPropertySheet;

// Adds the tabs the working copy's kind calls for, in their fixed order.
void AddCabPropertyPages(CCabPropertySheet& sheet);

}  // namespace pcn::gui
