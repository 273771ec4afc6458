#include "editing/gui/pickers/QtPickers.h"

#include <QFileDialog>
#include <QRegularExpression>

#include <algorithm>

namespace pcn::gui {
namespace {

// "(*.*)" matches only names with a dot on Linux; the pickers mean every file.
constexpr const char* kAllFiles = "All Files (*)";
const QStringList kSignableFiles = {"Controls (*.ocx)", "Library Files (*.dll)", "Executable Files (*.exe)",
                                    "Cabinet Files (*.cab)", kAllFiles};

bool isSeparator(QChar c) { return c == '/' || c == '\\'; }

struct Request {
    Request(QString title, QStringList filters, int filterIndex = 1, QString startPath = {}, bool several = false)
        : title(std::move(title)), filters(std::move(filters)), filterIndex(filterIndex),
          startPath(std::move(startPath)), several(several) {}
    QString title;
    QStringList filters;
    int filterIndex;  // 1-based, as the callers keep it
    QString startPath;
    bool several;
};

// Runs the open dialog; on OK returns the chosen files and the filter index used.
bool runOpenDialog(QWidget* parent, Request& request, QStringList& chosen) {
    QFileDialog dialog(parent, request.title, QtPickers::initialFolder(request.startPath));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilters(request.filters);
    const int index = std::clamp(request.filterIndex, 1, static_cast<int>(request.filters.size()));
    dialog.selectNameFilter(request.filters.at(index - 1));
    const QString name = request.startPath.section(QRegularExpression("[/\\\\]"), -1);
    if (!request.several && !name.isEmpty()) dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = dialog.selectedFiles();
    request.filterIndex = static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter())) + 1;
    return true;
}

bool pickOne(QWidget* parent, Request request, QString& path, int* filterIndex) {
    request.startPath = path;
    if (filterIndex) request.filterIndex = *filterIndex;
    QStringList chosen;
    if (!runOpenDialog(parent, request, chosen)) return false;
    path = chosen.front();
    if (filterIndex && request.filterIndex > 0) *filterIndex = request.filterIndex;
    return true;
}

}  // namespace

QString QtPickers::initialFolder(const QString& path) {
    if (path.size() <= 2) return {};
    for (qsizetype i = path.size(); i > 0; --i)
        if (isSeparator(path[i - 1])) return path.left(i);
    return {};
}

QString QtPickers::folderToSelect(const QString& path) {
    if (path.size() > 3 && isSeparator(path.back())) return path.left(path.size() - 1);
    return path;
}

bool QtPickers::licenceFile(QWidget* parent, QString& path, int& filterIndex) {
    return pickOne(parent,
                   {"Select File",
                    {"Text Files (*.txt)", "Rich Text Files (*.rtf)", kAllFiles, "Exe Files (*.Exe *.exe *.EXE)"}},
                   path, &filterIndex);
}

bool QtPickers::credentialsOrKey(QWidget* parent, QString& path, int mode) {
    Request request{mode == 1 ? "Select software publishing certificates File" : "Select Key container File",
                    {"Credential Files (*.spc)", "Private Key Files (*.txt *.pvk)", kAllFiles}};
    request.filterIndex = mode;
    return pickOne(parent, request, path, nullptr);
}

bool QtPickers::addFiles(QWidget* parent, const QString& folder, QStringList& files, int& filterIndex) {
    Request request{"Select File(s)",
                    {kAllFiles, "Executables (*.exe)", "Libraries (*.dll)", "Controls (*.ocx)"},
                    filterIndex,
                    folder,
                    true};
    QStringList chosen;
    if (!runOpenDialog(parent, request, chosen)) return false;
    files = chosen;
    if (request.filterIndex > 0) filterIndex = request.filterIndex;
    return true;
}

bool QtPickers::fileToSign(QWidget* parent, QString& path, int mode) {
    Request request{mode == 1 ? "Select file to digitally sign" : "Select Key container File", kSignableFiles};
    request.filterIndex = mode;
    return pickOne(parent, request, path, nullptr);
}

bool QtPickers::fileToCheck(QWidget* parent, QString& path, int& filterIndex) {
    return pickOne(parent, {"Select File to Check Trust", kSignableFiles}, path, &filterIndex);
}

bool QtPickers::component(QWidget* parent, QString& path, int type) {
    const char* titles[] = {"Select Component file to Register", "Select Component file to Un-Register",
                            "Select Component file for Html Template"};
    return pickOne(parent,
                   {titles[std::clamp(type, 0, 2)], {"OLE Controls (*.ocx)", "Dynamic-link libraries (*.dll)", kAllFiles}},
                   path, nullptr);
}

bool QtPickers::packageFile(QWidget* parent, QString& path, int& filterIndex) {
    return pickOne(parent, {"Select File", {"Package Files (*.pcp)", kAllFiles}}, path, &filterIndex);
}

bool QtPickers::folder(QWidget* parent, QString& path) {
    const QString chosen = QFileDialog::getExistingDirectory(parent, "Select a Starting Directory",
                                                             folderToSelect(path), QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty()) return false;
    path = chosen;
    return true;
}

}  // namespace pcn::gui
