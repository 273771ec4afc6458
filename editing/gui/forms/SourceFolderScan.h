#pragma once
// The scan of a package's source folder as the Files page and the Folders tab
// run it: off the UI thread, with a note that names the folder being read and
// a Cancel. A cancelled scan leaves the file table as it was before.

#include "editing/core/SourceScan.h"

class QWidget;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

ScanResult ScanSourceFolderOffTheUiThread(CCabObj& package, QWidget* parent);

}  // namespace pcn::gui
