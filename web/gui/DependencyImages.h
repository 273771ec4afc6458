#pragma once
// The icons of the Dependencies lists: one per origin of an entry (where the
// scan found it), drawn here in the style of the package icons. Icon i is
// origin i; 0 and 1 are blank.
//
//  2 system library          3 other loaded library    4 named in the component's file
//  5 not located             6 the component itself

#include <QIcon>
#include <QPixmap>

namespace pcn::gui {

inline constexpr int kDependencyImageWidth = 16;
inline constexpr int kDependencyImageHeight = 15;
inline constexpr int kDependencyImageCount = 7;

// The seven icons side by side, transparent where there is no drawing.
const QPixmap& dependencyImageStrip();
// The icon of an origin; a blank one for an origin outside the strip.
QIcon dependencyIcon(int origin);

}  // namespace pcn::gui
