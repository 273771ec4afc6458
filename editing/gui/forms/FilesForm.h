#pragma once
// The package's file table: the list of source files, Add and Remove, and
// for self-extracting wizard packages each file's destination folder and
// Register Component flag. Shared by the wizard's Files page and the property
// sheet's Files tab; the form edits the package it is given directly.

#include <QIcon>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

struct EditingContext;

class FilesForm : public QWidget {
    Q_OBJECT
public:
    FilesForm(CCabObj& package, EditingContext& context, QWidget* parent = nullptr);

    // Empties the list and fills it from the package's file table.
    void fill();
    // Asks for files to add (starting in folder, with the remembered filter)
    // and appends them to the list and the file table. False on Cancel.
    bool add(const QString& folder);
    // Removes the selected rows and their files, taking their sizes off the
    // package's source size.
    void removeSelected();
    // Rows selected, in ascending order.
    QList<int> selectedRows() const;

    // The wizard reports a selected row the file table does not have and
    // takes removed files' sizes off the source size; the property sheet
    // does neither.
    bool reportsInvalidRows = true;
    bool removeAdjustsSourceSize = true;

    QTreeWidget* fileList;
    QPushButton* addButton;
    QPushButton* removeButton;
    QLabel* destinationLabel;
    QComboBox* destination;
    QCheckBox* registerComponent;

signals:
    // A file was added or removed, or a destination or flag changed.
    void edited();

private:
    void appendRow(const QString& path);
    // Looked up once: a theme lookup per row stood a folder of many
    // thousand files still.
    QIcon fileIcon_;
    void showSelectedFile();
    void setDestinationOfSelected(const QString& dest);
    void setRegisterOfSelected(bool on);

    CCabObj& package_;
    EditingContext& context_;
};

// The destination list's preset entries: the target machine's folders.
inline constexpr const char* kDestinationPresets[] = {"%DESTDIR%", "%PROGRAMFILES%", "%COMMONFILES%",
                                                      "%WINDOWS%", "%SYSTEM%",       "%TEMP%"};

}  // namespace pcn::gui
