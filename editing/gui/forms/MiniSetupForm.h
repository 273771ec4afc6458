#pragma once
// The mini setup of a self-extracting wizard package: a shortcut group with
// its description, shortcuts to the package's files, and the Start menu
// folder that receives them.

#include <QWidget>

#include "editing/gui/forms/FormProblem.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

struct EditingContext;

class MiniSetupForm : public QWidget {
    Q_OBJECT
public:
    // package: the package whose files the shortcuts may start.
    MiniSetupForm(const CCabObj& package, EditingContext& context, QWidget* parent = nullptr);

    void load(const CCabObj& package);
    // The flags, the group description, the shortcuts in row order and the
    // shell folder number of the Shortcut Type.
    void store(CCabObj& package) const;
    // Refuses a line break in the group description.
    FormCheck check() const;
    // Each box enables its own fields; the Shortcut Type follows either box.
    void updateEnabling();

    // Opens "Add Shortcut"; on OK appends its row.
    void addShortcut();
    void removeSelectedShortcuts();
    void appendShortcut(const QString& description, const QString& file);

    QCheckBox* shortcutGroup() const { return shortcutGroup_; }
    QLineEdit* groupDesc() const { return groupDesc_; }
    QCheckBox* shortcuts() const { return shortcuts_; }
    QTreeWidget* shortcutList() const { return list_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }
    QComboBox* shortcutType() const { return shortcutType_; }

signals:
    void modified();

private:
    const CCabObj& package_;
    EditingContext& context_;
    QCheckBox* shortcutGroup_;
    QLabel* groupDescLabel_;
    QLineEdit* groupDesc_;
    QCheckBox* shortcuts_;
    QTreeWidget* list_;
    QPushButton* add_;
    QPushButton* remove_;
    QLabel* shortcutTypeLabel_;
    QComboBox* shortcutType_;
};

}  // namespace pcn::gui
