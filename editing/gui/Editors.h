#pragma once
// Hands the project views the package editors of this subsystem.

class QWidget;

namespace pcn::gui {

struct EditingContext;
struct PackageEditors;

// Sets the cabinet package hooks. The context must outlive the hooks; the
// editors' windows open over parent.
void InstallCabinetEditors(PackageEditors& editors, EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
