#pragma once
// The help entry point: our HTML help pages live in Help/ in the program
// folder and are shown in a help window of our own, so that help works on
// every desktop, with or without a browser.

#include <QString>
#include <QUrl>

#include "platform/gui/HelpTopicName.h"

class QWidget;

namespace pcn::gui {

inline constexpr const char* kDefaultHelpTopic = "default.htm";

// file://<program folder>Help/<topic>
QUrl helpTopicUrl(const QString& topic);

// Shows the topic (a page name, optionally with "#anchor") in the help
// window; false when the page is not there.
bool showHelpTopic(const QString& topic = kDefaultHelpTopic);

// From now on F1 in any window of the application shows the topic that
// window names (setHelpTopic), else the contents page.
void installHelpKey();

}  // namespace pcn::gui
