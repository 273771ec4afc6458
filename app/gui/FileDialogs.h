#pragma once
// The file choosers the shell uses, behind an interface so that tests can
// answer them.

#include <QString>

class QWidget;

namespace pcn::gui {

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Empty result: cancelled.
    virtual QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                             const QString& filter) = 0;
    // initialPath: folder and suggested file name. Asks before replacing an existing file.
    virtual QString saveFile(QWidget* parent, const QString& caption, const QString& initialPath,
                             const QString& filter) = 0;
};

// The desktop's file dialogs.
class QtFileDialogs : public FileDialogs {
public:
    QString openFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& caption, const QString& initialPath,
                     const QString& filter) override;
};

inline constexpr const char* kPackageFileFilter = "PCN Package Files (*.pcp)";
inline constexpr const char* kProjectFileFilter = "PCN Project Files (*.pcn)";

}  // namespace pcn::gui
