#pragma once
// "Folders" tab: source folder, sub-folders, project name and target folder.
// The target is shown as the folder that holds the project's output folder
// followed by the project name. A new source folder may replace the file
// table with a scan of it ("Discard existing file list ...").

#include "editing/gui/sheet/CCabPropertyPage.h"

class QCheckBox;

namespace pcn::gui {

class FolderForm;

class CCabPropertyPage3 : public CCabPropertyPage {
    Q_OBJECT
public:
    explicit CCabPropertyPage3(CCabPropertySheet& sheet);

    void OnInitDialog() override;
    bool OnKillActive() override;
    bool OnApply() override;

    FolderForm* form() const { return form_; }
    QCheckBox* discardBox() const { return discard_; }
    // The source folder moved (Change Path on the Files tab): shown without
    // counting as a new source folder to scan.
    void showMovedSourceFolder(const QString& folder);

private:
    void sourceFolderChanged();
    // The checks, then the fields into the package and, when asked for, the
    // scan of the source folder into its file table.
    bool store();

    FolderForm* form_ = nullptr;
    QCheckBox* discard_ = nullptr;
};

// The target folder as the tab shows it: the folder that holds the target
// (one separator at its end ignored) followed by the project name. A target
// without any separator stays as it is.
QString TargetFolderForProject(const QString& target, const QString& projectName);

}  // namespace pcn::gui
