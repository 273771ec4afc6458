#include "editing/gui/pickers/PickerRules.h"

#include "platform/Paths.h"

namespace pcn::gui {

namespace {

bool isSeparator(QChar c) { return c == '/' || c == '\\'; }

QString qtPatterns(const QString& windowsPatterns) {
    QStringList patterns = windowsPatterns.split(';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
        pattern = pattern.trimmed();
        if (pattern == "*.*") pattern = "*";
    }
    return patterns.join(' ');
}

QString withoutPatternText(const QString& text) {
    const qsizetype open = text.lastIndexOf('(');
    return (open > 0 && text.endsWith(')') ? text.left(open) : text).trimmed();
}

}  // namespace

QStringList QtNameFilters(const QString& filterList) {
    QStringList parts = filterList.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;  // the "||" that ends the list
        filters.append(withoutPatternText(parts[i]) + " (" + qtPatterns(parts[i + 1]) + ")");
    }
    return filters;
}

QString NameFilterAt(const QStringList& nameFilters, int index) {
    if (nameFilters.isEmpty()) return {};
    return index >= 1 && index <= nameFilters.size() ? nameFilters.at(index - 1) : nameFilters.first();
}

int NameFilterIndex(const QStringList& nameFilters, const QString& nameFilter) {
    const qsizetype i = nameFilters.indexOf(nameFilter);
    return i < 0 ? 1 : int(i) + 1;
}

QString InitialFolder(const QString& path) {
    if (path.size() <= 2) return {};
    return QString::fromStdString(folderPart(path.toStdString()));
}

QString FolderPickerSelection(const QString& path) {
    if (path.size() > 3 && isSeparator(path.back())) return path.chopped(1);
    return path;
}

}  // namespace pcn::gui
