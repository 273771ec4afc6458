#pragma once
// Lists of file names and paths: a name longer than its column is cut in the
// middle, so that both the start of the path and the file name stay in view,
// and hovering it shows the whole name. A row with a tooltip of its own
// keeps it.

class QAbstractItemView;

namespace pcn::gui {

void showWholeNames(QAbstractItemView* view);

}  // namespace pcn::gui
