#include "web/gui/ComponentCommands.h"

#include <QFileInfo>
#include <QProgressDialog>

#include "distribution/UserInterface.h"
#include "distribution/gui/BusyNoteUi.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/pickers/Pickers.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "platform/gui/BusyNote.h"
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

// Runs the component's own code (in this process or in Wine) on a thread
// of its own, so that the window keeps answering while it works.
void registerOffTheUiThread(EditingContext& context, QWidget* parent, const QString& path, bool unregister,
                            const RegistrationMemory& memory) {
    BusyNote note(parent, unregister ? QObject::tr("Unregister") : QObject::tr("Register"),
                  busyNote(unregister, path), 0);
    note.dialog().setObjectName("registrationBusy");
    setHelpTopic(&note.dialog(), "component_register.htm");
    BusyNoteUi ui(context.ui, note);
    note.run([&] {
        if (unregister) UnregisterComponent(path.toStdString(), ui, memory);
        else RegisterComponent(path.toStdString(), ui, memory);
    });
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
