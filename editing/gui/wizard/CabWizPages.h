#pragma once

namespace pcn::gui {

class CCabWizSheet;

// Constructs the wizard's pages and adds them to the sheet under their ids.
void AddCabWizPages(CCabWizSheet& sheet);

}  // namespace pcn::gui
