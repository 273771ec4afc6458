#pragma once
// The Component menu: the HTML template of a component, the licence package
// tool, and registering or unregistering a component on this machine. Each
// command asks for its component with the component picker, starting where
// the user chose the last one.

class QWidget;

namespace pcn::gui {

struct EditingContext;

// "Html Template...": picks a component, then the "Component Html Template" dialog.
void RunHtmlTemplateCommand(EditingContext& context, QWidget* parent);
// "Create LPK...": starts the licence package tool of the program folder.
void RunCreateLpkCommand(EditingContext& context);
// "Register..." and "Unregister...": picks a component and calls its own
// registration entry point; the outcome is shown either way.
void RunRegisterCommand(EditingContext& context, QWidget* parent);
void RunUnregisterCommand(EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
