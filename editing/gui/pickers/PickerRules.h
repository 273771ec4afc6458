#pragma once
// The rules the file and folder pickers follow, apart from any dialog: filter
// lists written as "Text|pattern|...||" turned into the name filters of a Qt
// file dialog, the 1-based filter index, and where a picker starts.

#include <QString>
#include <QStringList>

namespace pcn::gui {

// "All Files (*.*)|*.*|Keys (*.txt;*.pvk)|*.txt;*.pvk||" ->
// {"All Files (*)", "Keys (*.txt *.pvk)"}: the text before its parenthesised
// patterns, then the patterns Qt reads. "*.*" means every file, also those
// without an extension, so it becomes "*".
QStringList QtNameFilters(const QString& filterList);

// The name filter of a 1-based index; the first one for an index out of range.
QString NameFilterAt(const QStringList& nameFilters, int index);
// The 1-based index of a name filter; 1 when it is not in the list.
int NameFilterIndex(const QStringList& nameFilters, const QString& nameFilter);

// Where a file picker opens for a given path: the path cut after its last
// separator when it is longer than two characters, else nowhere in particular
// (an empty string).
QString InitialFolder(const QString& path);

// What the folder picker selects for a given path: the path less a trailing
// separator when it is longer than three characters ("C:\Tools\" selects
// "C:\Tools", "C:\" stays "C:\", "/" stays "/").
QString FolderPickerSelection(const QString& path);

}  // namespace pcn::gui
