#pragma once
// Which help page F1 shows for a window: the window (or any widget in it)
// names the page, and the help key of the application looks for the name
// from the focused widget outwards.

#include <QWidget>

namespace pcn::gui {

inline constexpr const char* kHelpTopicProperty = "helpTopic";

inline void setHelpTopic(QWidget* widget, const char* topic) { widget->setProperty(kHelpTopicProperty, topic); }

}  // namespace pcn::gui
