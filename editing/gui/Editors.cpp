#include "editing/gui/Editors.h"

#include <QPointer>
#include <QWidget>

#include "app/gui/PackageEditors.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "editing/gui/wizard/CCabWizSheet.h"

namespace pcn::gui {

void InstallCabinetEditors(PackageEditors& editors, EditingContext& context, QWidget* parent) {
    QPointer<QWidget> owner(parent);
    editors.cabinetWizard = [&context, owner](CCabObj& package) {
        return RunCabinetWizard(package, context, owner.data());
    };
    editors.cabinetSheet = [&context, owner](CCabObj& copy, int page) {
        return RunCabinetPropertySheet(copy, page, context, owner.data());
    };
}

}  // namespace pcn::gui
