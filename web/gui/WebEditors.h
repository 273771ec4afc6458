#pragma once
// Hands the project views the web package editors of this subsystem.

class QWidget;

namespace pcn::gui {

struct EditingContext;
struct PackageEditors;

// Sets the web package hooks (the wizard for New Web Package, the property
// sheet for an existing web package). The context must outlive the hooks;
// the editors' windows open over parent.
void InstallWebEditors(PackageEditors& editors, EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
