#include "app/gui/PackageItem.h"

#include "app/core/PackageReport.h"

namespace pcn::gui {

// The rules live in the core so that the command line shows the same texts.
QString packageKindCaption(const CCabObj& package) { return QString::fromStdString(PackageCaption(package)); }

QString packageItemText(const CCabObj& package) { return QString::fromStdString(PackageListText(package)); }

int packageImage(const CCabObj& package) { return PackageImage(package); }

}  // namespace pcn::gui
