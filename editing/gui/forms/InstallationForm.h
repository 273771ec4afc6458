#pragma once
// What a self-extracting wizard package does after extracting its files:
// where it installs them, whether the user may choose, whether the source's
// folder structure is restored, and which program it then starts, how.

#include <QWidget>

#include "editing/gui/forms/FormProblem.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class InstallationForm : public QWidget {
    Q_OBJECT
public:
    explicit InstallationForm(QWidget* parent = nullptr);

    // The folder tokens into both folder lists; the installation folders
    // end with the product name.
    void fillFolderLists(const std::string& product);
    // Offers each of the package's programs (.exe, .cmd, .bat, .com) by its
    // file name in lower case, once.
    void fillProgramList(const CCabObj& package);
    // Adds the folder to the installation folder list unless listed, and shows it.
    void showInstallDir(const QString& folder);

    void load(const CCabObj& package);
    void store(CCabObj& package) const;
    // Refuses a line break in the folders, the program or its command line.
    FormCheck check() const;

    // The program and installation folder controls are for the wizard kind
    // only; a self-extracting cabinet just extracts.
    void enableForKind(int32_t kind);

    QComboBox* installDir() const { return installDir_; }
    QCheckBox* userDir() const { return userDir_; }
    QCheckBox* restoreDirs() const { return restoreDirs_; }
    QComboBox* exe() const { return exe_; }
    QLineEdit* commandLine() const { return commandLine_; }
    QComboBox* showType() const { return showType_; }
    QComboBox* exeDir() const { return exeDir_; }

signals:
    void modified();

private:
    QComboBox* installDir_;
    QCheckBox* userDir_;
    QCheckBox* restoreDirs_;
    QComboBox* exe_;
    QLineEdit* commandLine_;
    QComboBox* showType_;
    QComboBox* exeDir_;
    QLabel* installDirLabel_;
    QLabel* exeLabel_;
    QLabel* commandLineLabel_;
    QLabel* showTypeLabel_;
};

}  // namespace pcn::gui
