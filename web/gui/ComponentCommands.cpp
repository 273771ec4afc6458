#include "web/gui/ComponentCommands.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>

#include <thread>

#include "distribution/UserInterface.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/pickers/Pickers.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "platform/gui/HelpTopicName.h"
#include "web/HtmlTemplate.h"
#include "web/LpkTool.h"
#include "web/Registration.h"
#include "web/gui/CHtmlTemplateDlg.h"

namespace pcn::gui {
namespace {

enum ComponentPickerType { kPickToRegister = 0, kPickToUnregister = 1, kPickForTemplate = 2 };

// The component picker started where the section remembers; false on Cancel.
bool pickComponent(EditingContext& context, QWidget* parent, std::string_view section, int type,
                   std::string_view lastPathKey, std::string_view lastIndexKey, int32_t defaultIndex,
                   QString& path, int& filterIndex) {
    path = QString::fromStdString(context.settings.readString(section, lastPathKey, ""));
    filterIndex = context.settings.readInt(section, lastIndexKey, defaultIndex);
    return context.pickers.component(parent, path, type, filterIndex) && !path.isEmpty();
}

// The note shown while a component registers: the first registration of a
// Windows component makes Wine prepare its prefix, which takes minutes.
QString busyNote(bool unregister, const QString& path) {
    return QObject::tr("%1 %2...\n\nThe first registration of a Windows component prepares Wine, which may "
                       "take a few minutes.")
        .arg(unregister ? QObject::tr("Unregistering") : QObject::tr("Registering"), QFileInfo(path).fileName());
}

// The registration's messages come from its thread; the busy note goes
// before the first one shows.
class BusyNoteUi : public UserInterface {
public:
    BusyNoteUi(UserInterface& ui, QProgressDialog& note) : ui_(ui), note_(note) {}
    Answer message(std::string_view text, std::string_view caption, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override {
        hideNote();
        return ui_.message(text, caption, icon, buttons, defaultAnswer);
    }
    void errorDetails(std::string_view mainText, std::string_view details) override {
        hideNote();
        ui_.errorDetails(mainText, details);
    }

private:
    void hideNote() {
        QMetaObject::invokeMethod(&note_, [this] { note_.hide(); }, Qt::BlockingQueuedConnection);
    }
    UserInterface& ui_;
    QProgressDialog& note_;
};

// Runs the component's own code (in this process or in Wine) on a thread
// of its own, so that the window keeps answering while it works.
void registerOffTheUiThread(EditingContext& context, QWidget* parent, const QString& path, bool unregister,
                            const RegistrationMemory& memory) {
    QProgressDialog note(busyNote(unregister, path), QString(), 0, 0, parent);
    note.setObjectName("registrationBusy");
    setHelpTopic(&note, "component_register.htm");
    note.setWindowTitle(unregister ? QObject::tr("Unregister") : QObject::tr("Register"));
    note.setWindowModality(Qt::ApplicationModal);
    note.setMinimumDuration(0);
    note.show();
    BusyNoteUi ui(context.ui, note);
    QEventLoop loop;
    std::thread worker([&] {
        if (unregister) UnregisterComponent(path.toStdString(), ui, memory);
        else RegisterComponent(path.toStdString(), ui, memory);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
}

void runRegistration(EditingContext& context, QWidget* parent, bool unregister) {
    QString path;
    int filterIndex = registration::kDefaultIndex;
    if (!pickComponent(context, parent, registration::kSection, unregister ? kPickToUnregister : kPickToRegister,
                       registration::kLastPath, registration::kLastIndex, registration::kDefaultIndex, path,
                       filterIndex))
        return;
    const RegistrationMemory memory{&context.settings, filterIndex};
    registerOffTheUiThread(context, parent, path, unregister, memory);
}

}  // namespace

void RunHtmlTemplateCommand(EditingContext& context, QWidget* parent) {
    using namespace html_template;
    QString path;
    int filterIndex = kDefaultIndex;
    if (!pickComponent(context, parent, kSection, kPickForTemplate, kLastPath, kLastIndex, kDefaultIndex, path,
                       filterIndex))
        return;
    {
        CHtmlTemplateDlg dialog(path.toStdString(), context, parent);
        dialog.exec();
    }
    context.settings.writeString(kSection, kLastPath, folderPart(path.toStdString()));
    context.settings.writeInt(kSection, kLastIndex, filterIndex);
}

void RunCreateLpkCommand(EditingContext& context) { StartLpkTool(context.ui); }

void RunRegisterCommand(EditingContext& context, QWidget* parent) { runRegistration(context, parent, false); }

void RunUnregisterCommand(EditingContext& context, QWidget* parent) { runRegistration(context, parent, true); }

}  // namespace pcn::gui
