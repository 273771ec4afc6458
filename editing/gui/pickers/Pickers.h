#pragma once
// The fixed file and folder pickers of the package editors, each with its own
// filters and title. Every picker takes the current path and replaces it with
// the user's choice; on Cancel it returns false and leaves the path alone.
// Behind an interface so that tests can answer without a window.

#include <QString>
#include <QStringList>

class QWidget;

namespace pcn::gui {

class Pickers {
public:
    virtual ~Pickers() = default;

    // Licence file; filterIndex (1-based) in and out.
    virtual bool licenceFile(QWidget* parent, QString& path, int& filterIndex) = 0;
    // Credentials (mode 1) or private key (mode 2) file.
    virtual bool credentialsOrKey(QWidget* parent, QString& path, int mode) = 0;
    // Files to add to a package; filterIndex (1-based) in and out.
    virtual bool addFiles(QWidget* parent, const QString& folder, QStringList& files, int& filterIndex) = 0;
    // A file to sign: mode 1 preselects controls; other modes ask for a key container.
    virtual bool fileToSign(QWidget* parent, QString& path, int mode) = 0;
    // A file to check the trust of; filterIndex (1-based) in and out.
    virtual bool fileToCheck(QWidget* parent, QString& path, int& filterIndex) = 0;
    // A component: type 0 register, 1 unregister, 2 HTML template. path in:
    // the folder to start in; filterIndex (1-based) in and out.
    virtual bool component(QWidget* parent, QString& path, int type, int& filterIndex) = 0;
    // Where to save a web page: path in is the file name offered (in the
    // folder to start in), out the chosen file.
    virtual bool webPageToSave(QWidget* parent, QString& path) = 0;
    // A package file; filterIndex (1-based) in and out.
    virtual bool packageFile(QWidget* parent, QString& path, int& filterIndex) = 0;
    // A folder ("Select a Starting Directory"); path selected at start.
    virtual bool folder(QWidget* parent, QString& path) = 0;
    // A file to send with a package's output (FTP, mail); the path's folder
    // is where the dialog starts; filterIndex (1-based) in and out.
    virtual bool fileToSend(QWidget* parent, QString& path, int& filterIndex) = 0;
};

}  // namespace pcn::gui
