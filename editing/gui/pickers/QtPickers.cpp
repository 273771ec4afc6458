#include "editing/gui/pickers/QtPickers.h"

#include <QFileDialog>

#include "editing/gui/pickers/PickerRules.h"

namespace pcn::gui {

namespace {

struct FileRequest {
    QString title;
    QString filterList;
    QString startFolder;
    int filterIndex = 1;
    bool several = false;
};

// The open dialog of every file picker. (There is no "open as read-only"
// choice to hide: Qt's dialog never offers one.)
bool runFileDialog(QWidget* parent, const FileRequest& request, QStringList& chosen, int& filterIndex) {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    const QStringList nameFilters = QtNameFilters(request.filterList);
    dialog.setNameFilters(nameFilters);
    dialog.selectNameFilter(NameFilterAt(nameFilters, request.filterIndex));
    if (!request.startFolder.isEmpty()) dialog.setDirectory(request.startFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = dialog.selectedFiles();
    filterIndex = NameFilterIndex(nameFilters, dialog.selectedNameFilter());
    return true;
}

// A single file that replaces the given path.
bool pickFile(QWidget* parent, const QString& title, const char* filterList, QString& path, int& filterIndex) {
    QStringList chosen;
    if (!runFileDialog(parent, {title, filterList, InitialFolder(path), filterIndex}, chosen, filterIndex))
        return false;
    path = chosen.first();
    return true;
}

bool pickFileInMode(QWidget* parent, const QString& title, const char* filterList, QString& path, int mode) {
    int filterIndex = mode;
    return pickFile(parent, title, filterList, path, filterIndex);
}

}  // namespace

bool QtPickers::licenceFile(QWidget* parent, QString& path, int& filterIndex) {
    return pickFile(parent, QObject::tr("Select File"), kLicenceFileFilter, path, filterIndex);
}

bool QtPickers::credentialsOrKey(QWidget* parent, QString& path, int mode) {
    const QString title = mode == 1 ? QObject::tr("Select software publishing certificates File")
                                    : QObject::tr("Select Key container File");
    return pickFileInMode(parent, title, kCredentialsFilter, path, mode);
}

bool QtPickers::addFiles(QWidget* parent, const QString& folder, QStringList& files, int& filterIndex) {
    return runFileDialog(parent, {QObject::tr("Select File(s)"), kAddFilesFilter, InitialFolder(folder), filterIndex, true},
                         files, filterIndex);
}

bool QtPickers::fileToSign(QWidget* parent, QString& path, int mode) {
    const QString title =
        mode == 1 ? QObject::tr("Select file to digitally sign") : QObject::tr("Select Key container File");
    return pickFileInMode(parent, title, kSignableFilter, path, mode);
}

bool QtPickers::fileToCheck(QWidget* parent, QString& path, int& filterIndex) {
    return pickFile(parent, QObject::tr("Select File to Check Trust"), kSignableFilter, path, filterIndex);
}

bool QtPickers::component(QWidget* parent, QString& path, int type, int& filterIndex) {
    const QString title = type == 1   ? QObject::tr("Select Component file to Un-Register")
                          : type == 2 ? QObject::tr("Select Component file for Html Template")
                                      : QObject::tr("Select Component file to Register");
    return pickFile(parent, title, kComponentFilter, path, filterIndex);
}

bool QtPickers::webPageToSave(QWidget* parent, QString& path) {
    QFileDialog dialog(parent, QObject::tr("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList nameFilters = QtNameFilters(kWebPageFilter);
    dialog.setNameFilters(nameFilters);
    dialog.selectNameFilter(NameFilterAt(nameFilters, 1));
    dialog.setDefaultSuffix("htm");
    // The overwrite question is the dialog's own (QFileDialog asks by default).
    const QString folder = InitialFolder(path);
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    dialog.selectFile(path.mid(folder.size()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = dialog.selectedFiles().first();
    return true;
}

bool QtPickers::fileToSend(QWidget* parent, QString& path, int& filterIndex) {
    return pickFile(parent, QObject::tr("Select File"), kLicenceFileFilter, path, filterIndex);
}

bool QtPickers::packageFile(QWidget* parent, QString& path, int& filterIndex) {
    return pickFile(parent, QObject::tr("Select File"), kPackagePickerFilter, path, filterIndex);
}

bool QtPickers::folder(QWidget* parent, QString& path) {
    QFileDialog dialog(parent, QObject::tr("Select a Starting Directory"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    const QString selection = FolderPickerSelection(path);
    if (!selection.isEmpty()) dialog.setDirectory(selection);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = dialog.selectedFiles().first();
    return true;
}

}  // namespace pcn::gui
