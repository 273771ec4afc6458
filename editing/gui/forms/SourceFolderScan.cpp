#include "editing/gui/forms/SourceFolderScan.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QWidget>

#include "model/CCabObj.h"
#include "platform/gui/BusyNote.h"
#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {
namespace {

QString scanningText(const std::string& folder, int filesSoFar) {
    return QCoreApplication::translate("SourceFolderScan", "Scanning %1\n\n%2 files so far.")
        .arg(QString::fromStdString(folder))
        .arg(filesSoFar);
}

}  // namespace

ScanResult ScanSourceFolderOffTheUiThread(CCabObj& package, QWidget* parent) {
    CFileObj filesBefore;
    filesBefore.CopyFrom(*package.m_pFiles);
    const int32_t sizeBefore = package.m_nSourceSize;
    const std::string folder = package.m_strSourceFolder;
    const bool subFolders = package.m_bSubDirs != 0;

    BusyNote note(parent, QCoreApplication::translate("SourceFolderScan", "Scanning Source Folder"),
                  scanningText(folder, 0));
    setHelpTopic(&note.dialog(), "package_wizard.htm#files");
    ScanWatch watch;
    watch.onFolder = [&note](const std::string& current, int filesSoFar) {
        note.postText(scanningText(current, filesSoFar));
    };
    note.setCancel([&watch] { watch.stop = true; });
    ScanResult result;
    note.run([&] { result = RescanSourceFolder(package, folder, subFolders, &watch); });
    if (result.stopped) {
        package.m_pFiles->CopyFrom(filesBefore);
        package.m_nSourceSize = sizeBefore;
    }
    return result;
}

}  // namespace pcn::gui
