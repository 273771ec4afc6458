#include "web/gui/WebEditors.h"

#include <QPointer>
#include <QWidget>

#include "app/gui/PackageEditors.h"
#include "web/gui/sheet/CWebPropSheet.h"
#include "web/gui/wizard/CWebWizSheet.h"

namespace pcn::gui {

void InstallWebEditors(PackageEditors& editors, EditingContext& context, QWidget* parent) {
    QPointer<QWidget> owner(parent);
    editors.webWizard = [&context, owner](CCabObj& package) { return RunWebWizard(package, context, owner.data()); };
    editors.webSheet = [&context, owner](CCabObj& copy) { return RunWebPropertySheet(copy, context, owner.data()); };
}

}  // namespace pcn::gui
