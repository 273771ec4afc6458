#include "app/gui/HelpTopic.h"

#include <QDesktopServices>

#include "platform/Paths.h"

namespace pcn::gui {

QUrl helpTopicUrl(const QString& topic) {
    return QUrl::fromLocalFile(QString::fromStdString(programFolder()) + "Help/" + topic);
}

bool showHelpTopic(const QString& topic) { return QDesktopServices::openUrl(helpTopicUrl(topic)); }

}  // namespace pcn::gui
