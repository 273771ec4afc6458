#include "web/gui/ComponentCommands.h"

#include <QApplication>
#include <QCursor>

#include <memory>

#include "distribution/UserInterface.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/pickers/Pickers.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
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

// The component's own code runs in this process (or in Wine) and may take
// a while: the user sees that the program is busy.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The outcome of a registration is reported by the call itself; the cursor
// is back to normal before the first message shows.
class CursorReleasingUi : public UserInterface {
public:
    CursorReleasingUi(UserInterface& ui, std::unique_ptr<BusyCursor>& cursor) : ui_(ui), cursor_(cursor) {}
    Answer message(std::string_view text, std::string_view caption, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override {
        cursor_.reset();
        return ui_.message(text, caption, icon, buttons, defaultAnswer);
    }
    void errorDetails(std::string_view mainText, std::string_view details) override {
        cursor_.reset();
        ui_.errorDetails(mainText, details);
    }

private:
    UserInterface& ui_;
    std::unique_ptr<BusyCursor>& cursor_;
};

void runRegistration(EditingContext& context, QWidget* parent, bool unregister) {
    QString path;
    int filterIndex = registration::kDefaultIndex;
    if (!pickComponent(context, parent, registration::kSection, unregister ? kPickToUnregister : kPickToRegister,
                       registration::kLastPath, registration::kLastIndex, registration::kDefaultIndex, path,
                       filterIndex))
        return;
    const RegistrationMemory memory{&context.settings, filterIndex};
    std::unique_ptr<BusyCursor> cursor = std::make_unique<BusyCursor>();
    CursorReleasingUi ui(context.ui, cursor);
    if (unregister) UnregisterComponent(path.toStdString(), ui, memory);
    else RegisterComponent(path.toStdString(), ui, memory);
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
