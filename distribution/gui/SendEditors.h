#pragma once
// Installs the FTP send sheet and the mail command behind the project
// views' send commands.

class QWidget;

namespace pcn::gui {

struct EditingContext;
struct PackageEditors;

void InstallSendEditors(PackageEditors& editors, EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
