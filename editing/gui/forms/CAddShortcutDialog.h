#pragma once
// "Add Shortcut": a description and at most one of the package's files that
// the shortcut starts. A file below the source folder is named by its path
// below it, any other file by its name; no file at all is allowed.

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace pcn {
class CCabObj;
class UserInterface;
}  // namespace pcn

namespace pcn::gui {

class CAddShortcutDialog : public QDialog {
    Q_OBJECT
public:
    CAddShortcutDialog(const CCabObj& package, UserInterface& ui, QWidget* parent = nullptr);

    // After OK.
    QString description() const { return description_; }
    QString shortcutFile() const { return shortcutFile_; }

    QLineEdit* descriptionEdit() const { return descriptionEdit_; }
    QListWidget* files() const { return files_; }

public slots:
    // Refuses an empty description and more than one checked file.
    void accept() override;

private:
    const CCabObj& package_;
    UserInterface& ui_;
    QLineEdit* descriptionEdit_;
    QListWidget* files_;
    QString description_;
    QString shortcutFile_;
};

}  // namespace pcn::gui
