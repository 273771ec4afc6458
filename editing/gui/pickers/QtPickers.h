#pragma once
// The pickers as the desktop's file and folder dialogs.

#include "editing/gui/pickers/Pickers.h"

namespace pcn::gui {

class QtPickers : public Pickers {
public:
    bool licenceFile(QWidget* parent, QString& path, int& filterIndex) override;
    bool credentialsOrKey(QWidget* parent, QString& path, int mode) override;
    bool addFiles(QWidget* parent, const QString& folder, QStringList& files, int& filterIndex) override;
    bool fileToSign(QWidget* parent, QString& path, int mode) override;
    bool fileToCheck(QWidget* parent, QString& path, int& filterIndex) override;
    bool component(QWidget* parent, QString& path, int type, int& filterIndex) override;
    bool webPageToSave(QWidget* parent, QString& path) override;
    bool packageFile(QWidget* parent, QString& path, int& filterIndex) override;
    bool folder(QWidget* parent, QString& path) override;
    bool fileToSend(QWidget* parent, QString& path, int& filterIndex) override;
};

// The filter lists of the pickers. Files sent with a package's output are
// picked with the licence file's list.
inline constexpr const char* kLicenceFileFilter =
    "Text Files (*.txt)|*.txt|Rich Text Files (*.rtf)|*.rtf|All Files (*.*)|*.*|Exe Files (*.Exe)|*.Exe||";
inline constexpr const char* kCredentialsFilter =
    "Credential Files (*.spc)|*.spc|Private Key Files (*.txt;*.pvk)|*.txt;*.pvk|All Files (*.*)|*.*||";
inline constexpr const char* kSignableFilter =
    "Controls (*.ocx)|*.ocx|Library Files (*.dll)|*.dll|Executable Files (*.exe)|*.exe|Cabinet Files (*.cab)|*.cab|"
    "All Files (*.*)|*.*||";
// Controls and libraries together come last, so that the filter numbers
// users' settings remember keep their meaning.
inline constexpr const char* kComponentFilter =
    "OLE Controls (*.ocx)|*.ocx|Dynamic-link libraries (*.dll)|*.dll|All Files (*.*)|*.*|"
    "Components (*.dll;*.ocx)|*.dll;*.ocx||";
inline constexpr const char* kWebPageFilter =
    "Web File (*.htm)|*.htm|Web File (*.html)|*.html|Web File (*.asp)|*.asp|All Files (*.*)|*.*||";
inline constexpr const char* kPackagePickerFilter = "Package Files (*.pcp)|*.pcp|All Files (*.*)|*.*||";
inline constexpr const char* kAddFilesFilter =
    "All Files (*.*)|*.*|Executables (*.exe)|*.exe|Libraries (*.dll)|*.dll|Controls (*.ocx)|*.ocx||";

}  // namespace pcn::gui
