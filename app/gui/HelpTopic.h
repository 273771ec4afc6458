#pragma once
// The help entry point: our HTML help pages live in Help/ in the program
// folder and open in the desktop's browser.

#include <QString>
#include <QUrl>

namespace pcn::gui {

inline constexpr const char* kDefaultHelpTopic = "default.htm";

// file://<program folder>Help/<topic>
QUrl helpTopicUrl(const QString& topic);

// Opens the topic; false when the desktop could not open it.
bool showHelpTopic(const QString& topic = kDefaultHelpTopic);

}  // namespace pcn::gui
