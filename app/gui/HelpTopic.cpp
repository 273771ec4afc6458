#include "app/gui/HelpTopic.h"

#include <QApplication>
#include <QKeyEvent>

#include "app/gui/CHelpWindow.h"
#include "platform/Paths.h"

namespace pcn::gui {
namespace {

// The window help belongs to: the modal dialog the user works in (every
// other window is blocked while it runs), else the active window.
QWidget* helpOwner() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    QWidget* active = QApplication::activeWindow();
    if (active && active == CHelpWindow::current()) return active->parentWidget();
    return active;
}

QString topicFor(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        const QVariant topic = widget->property(kHelpTopicProperty);
        if (topic.isValid()) return topic.toString();
    }
    return kDefaultHelpTopic;
}

class HelpKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || key->isAutoRepeat()) return false;
        // Taken where it first arrives, so it never travels on to the parents.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        showHelpTopic(topicFor(widget));
        return true;
    }
};

}  // namespace

QUrl helpTopicUrl(const QString& topic) {
    const qsizetype hash = topic.indexOf('#');
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(programFolder()) + "Help/" + topic.left(hash));
    if (hash >= 0) url.setFragment(topic.mid(hash + 1));
    return url;
}

bool showHelpTopic(const QString& topic) { return CHelpWindow::forOwner(helpOwner())->showPage(helpTopicUrl(topic)); }

void installHelpKey() {
    static HelpKey* filter = nullptr;
    if (filter) return;
    filter = new HelpKey(qApp);
    qApp->installEventFilter(filter);
}

}  // namespace pcn::gui
