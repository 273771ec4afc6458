#pragma once
// How a package appears in a list: its product name followed by the caption
// of its kind, and the image of its kind and build state.

#include <QString>

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

// " (Cabinet)", " (Self Extracting Cabinet)", " (Self Extracting Wizard)",
// " (Web Inf Package)", or " (New Project)" for a pasted package or one whose
// wizard build failed.
QString packageKindCaption(const CCabObj& package);
// m_strProduct followed by the kind caption.
QString packageItemText(const CCabObj& package);
// 18 (21 for web) when it needs a rebuild; else 19 wizard, 21 web, 0 cabinet kinds.
int packageImage(const CCabObj& package);

}  // namespace pcn::gui
