#pragma once
// The main window: menus, toolbar, accelerators, the status bar with its
// progress meter, and the two-pane splitter that holds the project views.
// Commands are carried out by whoever registered a handler for them (the
// application, the views); a command without a handler is shown disabled.

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

#include "app/gui/CProgressStatusBar.h"
#include "app/gui/Commands.h"
#include "app/gui/WindowPlacement.h"

class QMenu;
class QSplitter;
class QToolBar;

namespace pcn {
class SettingsStore;
}

namespace pcn::gui {

inline constexpr const char* kAppTitle = "Tarnwick Parcelon";
inline constexpr const char* kMailMenuText = "Sen&d...";
inline constexpr const char* kMakerWebSite = "https://www.tarnwick.com/";

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(SettingsStore& settings, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The action of a command (the first one when a command has several).
    QAction* action(int id) const;
    QMenu* fileMenu() const { return fileMenu_; }
    QMenu* menuByTitle(const QString& title) const;
    QToolBar* toolBar() const { return toolBar_; }
    CProgressStatusBar* progressStatusBar() const { return statusBar_; }
    QSplitter* splitter() const { return splitter_; }

    // Who carries out a command, and when it is enabled (always, without a test).
    // whyDisabled: the status tip of the greyed command (empty: its usual prompt).
    void setCommandHandler(int id, std::function<void()> run, std::function<bool()> enabled = {},
                           std::function<QString()> whyDisabled = {});
    bool hasCommandHandler(int id) const { return handlers_.count(id) != 0; }
    // Carries out a command as if chosen from the menu (nothing when disabled).
    void runCommand(int id);
    // Enables and checks every action from the handlers' state.
    void updateCommandUi();

    // The views: the list on the left, the tree on the right.
    void setPanes(QWidget* left, QWidget* right);
    // F6 / Shift+F6: the focus moves to the next or previous pane.
    void focusNextPane(bool forward);

    // The progress protocol: 0 starts, 1..100 sets, above 100 ends the display.
    // May be called from any thread.
    Q_INVOKABLE void setProgress(int value);

    // The recent-file list of the File menu (most recent first).
    QStringList recentFiles() const { return recentFiles_; }
    void addRecentFile(const QString& path);
    void removeRecentFile(const QString& path);
    // Chosen recent file: handler(path).
    void setRecentFileHandler(std::function<void(const QString&)> handler) { openRecent_ = std::move(handler); }

    // "<project title> - Tarnwick Parcelon"
    void setDocumentTitle(const QString& title);

    // Adds "Sen&d..." before Exit unless the File menu already has it.
    static void applyMailMenuRule(QMenu* fileMenu, QAction* sendAction);
    void applyMailMenuRule();
    // Without mail support the mail command leaves the menus and the toolbar,
    // and with it one of two separators it stood between.
    void removeMailCommand();
    static void removeFromContainer(QWidget* container, QAction* action);

    // Asked before the window closes; false keeps it open.
    void setCloseGuard(std::function<bool()> canClose) { canClose_ = std::move(canClose); }

    // Stored window placement applied, as a normal window.
    void restorePlacement();
    void fitFirstSize();
    WindowPlacement currentPlacement() const;
    // Placement, splitter width and toolbar state written to the settings.
    void saveWindowState();

    // Keyboard move of the splitter bar (S&plit): arrows move, Enter keeps, Esc restores.
    void startKeyboardSplit();
    bool inKeyboardSplit() const { return splitting_; }

signals:
    // The window has been closed for good (after the close guard agreed).
    void closed();
    // Files dropped on the window.
    void filesDropped(const QStringList& paths);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Handler {
        std::function<void()> run;
        std::function<bool()> enabled;
        std::function<QString()> whyDisabled;
    };

    void createActions();
    void createMenus();
    void createToolBar();
    void createAccelerators();
    void connectMenuHelp(QMenu* menu);
    void rebuildRecentFileMenu();
    void loadRecentFiles();
    void saveRecentFiles();
    void restoreToolBarState();
    void saveToolBarState();
    void applyInitialSplitterWidth();
    void endKeyboardSplit(bool keep);
    bool handleSplitKey(int key);

    SettingsStore& settings_;
    std::map<int, std::vector<QAction*>> actions_;
    std::map<int, Handler> handlers_;
    QMenu* fileMenu_ = nullptr;
    std::vector<QMenu*> menus_;
    QAction* recentSeparator_ = nullptr;
    std::vector<QAction*> recentActions_;
    QStringList recentFiles_;
    std::function<void(const QString&)> openRecent_;
    std::function<bool()> canClose_;
    QToolBar* toolBar_ = nullptr;
    CProgressStatusBar* statusBar_ = nullptr;
    QSplitter* splitter_ = nullptr;
    bool splitterSized_ = false;
    bool splitting_ = false;
    QList<int> sizesBeforeSplit_;
    bool stateSaved_ = false;
};

}  // namespace pcn::gui
