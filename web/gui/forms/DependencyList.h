#pragma once
// The lists of the Dependencies and Dependencies OS Types pages: one column
// as wide as the list less room for a scroll bar, one row per dependency
// entry with the icon of its origin, several rows selectable; the handlers
// act on the entries of the selected rows.

#include <QString>

#include <string>
#include <vector>

class QTreeWidget;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

void SetUpDependencyList(QTreeWidget* list, const QString& column);
// Appends the row of an entry: its name and origin icon; for an entry that
// was not found, the reason as its tooltip.
void AddDependencyRow(QTreeWidget* list, const CCabObj& package, int entry, const std::string& whyNotFound = {});
// Selects and focuses the first row (when there is one).
void SelectFirstRow(QTreeWidget* list);
// The entry of the row the user is on: the current row when selected, else
// the first selected one; -1 when no row is selected.
int ShownEntry(const QTreeWidget* list);
// The entries of the selected rows.
std::vector<int> SelectedEntries(const QTreeWidget* list);

}  // namespace pcn::gui
