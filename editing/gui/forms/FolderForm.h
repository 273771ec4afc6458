#pragma once
// Where the files come from and where the output goes: the source folder
// (with or without its sub-folders), the project name that names every
// output file, and the target folder. Shared by the wizard's Folder page and
// the property sheet's Folders tab.

#include <QWidget>

#include "editing/gui/forms/FormProblem.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class Pickers;

class FolderForm : public QWidget {
    Q_OBJECT
public:
    explicit FolderForm(Pickers& pickers, QWidget* parent = nullptr);

    // Shows the source folder, sub-folder flag, project name and target folder.
    void load(const CCabObj& package);
    // The four fields as they stand on the form.
    void store(CCabObj& package) const;
    // The three required entries, with the messages of the caller's editor.
    struct RequiredMessages {
        QString sourceFolder, projectName, targetFolder;
    };
    FormCheck check(const RequiredMessages& messages) const;
    // Sets the project name without the character filter (a name given by the program).
    void setProjectName(const QString& name);

    QLineEdit* sourceFolder;
    QPushButton* browseSource;
    QCheckBox* includeSubDirs;
    QLineEdit* projectName;
    QLineEdit* targetFolder;
    QPushButton* browseTarget;

signals:
    // A new source folder was chosen with Browse.
    void sourceFolderBrowsed();
    // Characters a file name cannot hold were typed and taken out again.
    void projectNameRefused();

private:
    void projectNameChanged();
    void browseForSource();
    void browseForTarget();
    bool browseInto(QLineEdit* edit);

    Pickers& pickers_;
    bool filtering_ = false;
};

// The target folder for a new project name: the folder part of the target
// (up to and including its last separator) followed by the name. A target
// without a separator stays as it is.
QString RetargetFolder(const QString& target, const QString& projectName);

}  // namespace pcn::gui
