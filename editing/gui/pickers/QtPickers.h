#pragma once
// The desktop's file and folder dialogs behind the Pickers interface, each
// with its fixed title and filter list.

#include "editing/gui/pickers/Pickers.h"

namespace pcn::gui {

class QtPickers : public Pickers {
public:
    bool licenceFile(QWidget* parent, QString& path, int& filterIndex) override;
    bool credentialsOrKey(QWidget* parent, QString& path, int mode) override;
    bool addFiles(QWidget* parent, const QString& folder, QStringList& files, int& filterIndex) override;
    bool fileToSign(QWidget* parent, QString& path, int mode) override;
    bool fileToCheck(QWidget* parent, QString& path, int& filterIndex) override;
    bool component(QWidget* parent, QString& path, int type) override;
    bool packageFile(QWidget* parent, QString& path, int& filterIndex) override;
    bool folder(QWidget* parent, QString& path) override;

    // The folder a picker starts in: the path cut after its last separator
    // when the path is longer than two characters, else none.
    static QString initialFolder(const QString& path);
    // The folder the folder picker selects: the path less a trailing
    // separator when it is longer than three characters.
    static QString folderToSelect(const QString& path);
};

}  // namespace pcn::gui
