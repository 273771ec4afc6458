#pragma once
// The package list: one line per package of the project, where the user
// selects a package and carries out the project and package commands.

#include <QPointer>
#include <QTreeWidget>

#include <memory>

#include "app/gui/PackageEditors.h"

namespace pcn {
class CCabObj;
class CPCNDoc;
class SettingsStore;
class UserInterface;
}  // namespace pcn

namespace pcn::gui {

class CInfoView;
class CMainFrame;
class FileDialogs;

class CPCNView : public QTreeWidget {
    Q_OBJECT
public:
    CPCNView(CPCNDoc& doc, SettingsStore& settings, UserInterface& ui, FileDialogs& dialogs,
             QWidget* parent = nullptr);
    ~CPCNView() override;

    void setInfoView(CInfoView* info) { info_ = info; }
    void setEditors(PackageEditors editors) { editors_ = std::move(editors); }
    PackageEditors& editors() { return editors_; }

    // Rebuilds the list from the document (after a project was opened or started).
    void fillList();
    // The document cleared its contents: forget the selection, the undo record and the items.
    void contentsCleared();

    CCabObj* selectedPackage() const { return selected_; }
    // Selects the list line of a package (null: none).
    void selectPackage(const CCabObj* package);
    QTreeWidgetItem* itemOf(const CCabObj* package) const;
    static CCabObj* packageOf(const QTreeWidgetItem* item);

    // Commands of the list (and those the tree passes on).
    bool canRunCommand(int id) const;
    // Why a command is greyed now, for its status tip; empty when it is not.
    QString whyDisabled(int id) const;
    void runCommand(int id);

    // The one clipboard record of the program, and the undo record of this view.
    static bool clipboardHoldsPackage();
    static void clearClipboard();
    bool hasUndoRecord() const { return undo_ != nullptr; }

    // The list's context menu with its items enabled as they would be now.
    QMenu* createContextMenu(QWidget* parent);

    // Starts the check of the program's sibling files on a worker thread; a
    // report of missing files appears when it ends.
    void startSiblingFileCheck();

    // Rewrites the selected item from its record and saves the record to its file.
    void refreshSelectedItem();

signals:
    void selectionChangedTo(const pcn::CCabObj* package);
    void commandsChanged();
    void siblingFileCheckDone(const QString& missingText);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void onSelectionChanged();
    QTreeWidgetItem* insertItem(CCabObj* package);
    void writeItem(QTreeWidgetItem* item, const CCabObj& package);
    std::unique_ptr<CCabObj> newPackageFromLast(int32_t kind) const;
    void addSavedPackage(std::unique_ptr<CCabObj> package);

    void newPackage();
    void newWebPackage();
    void openPackage();
    void savePackage();
    void savePackageAs();
    bool properties();
    void rebuild();
    void cut();
    // Takes the selected package out of the project, kept for Undo.
    void removeSelected();
    void copy();
    void paste();
    void undo();
    bool saveRecord(const CCabObj& package);
    void reportSiblingFiles(const QString& missingText);

    CPCNDoc& doc_;
    SettingsStore& settings_;
    UserInterface& ui_;
    FileDialogs& dialogs_;
    PackageEditors editors_;
    QPointer<CInfoView> info_;
    CCabObj* selected_ = nullptr;
    std::unique_ptr<CCabObj> undo_;
    int columnWidth_ = -1;
};

}  // namespace pcn::gui
