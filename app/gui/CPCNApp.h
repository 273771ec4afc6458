#pragma once
// The application: start-up (single instance, settings, document type,
// command line, the project to open), the project commands of the File menu
// (new, open, save, save as, recent files) and the questions before a
// modified project is closed or replaced.

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

#include "app/core/ProgressSink.h"
#include "app/gui/CInfoView.h"
#include "app/gui/CMainFrame.h"
#include "app/gui/CPCNView.h"

namespace pcn {
class CPCNDoc;
class SettingsStore;
class UserInterface;
}  // namespace pcn

namespace pcn::gui {

class AutomationServer;
class CInfoView;
class CMainFrame;
class CPCNView;
class FileDialogs;
class Pickers;
class ReportPrinting;
struct EditingContext;
class SingleInstanceGuard;

inline constexpr const char* kDefaultProjectName = "Package List.pcn";
inline constexpr const char* kAlreadyRunning = "Tarnwick Parcelon is already running.";

class CPCNApp : public QObject {
    Q_OBJECT
public:
    struct Options {
        bool singleInstance = true;     // keep other starts out (tests run several apps side by side)
        bool siblingFileCheck = true;   // look for the program's sibling files after start-up
        bool showWindow = true;
    };

    // ui, dialogs and pickers may be null: the Qt dialogs are used.
    CPCNApp(SettingsStore& settings, UserInterface* ui = nullptr, FileDialogs* dialogs = nullptr,
            Pickers* pickers = nullptr);
    ~CPCNApp() override;

    // The start-up sequence. Returns -1 when the program runs on, else the
    // exit code to end it with.
    int initInstance(const QStringList& arguments, const Options& options);
    int initInstance(const QStringList& arguments) { return initInstance(arguments, Options{}); }

    CMainFrame* frame() const { return frame_; }
    CPCNView* listView() const { return list_; }
    CInfoView* infoView() const { return info_; }
    CPCNDoc& doc() { return *doc_; }
    UserInterface& ui() { return *ui_; }
    // What the package editors work with: settings, messages, pickers.
    EditingContext& editingContext() { return *editing_; }

    // The framework's document commands.
    bool newProject();
    bool openProject();                         // asks for the file
    // Asks to save a modified project first; false: the current project stays.
    bool openProjectFile(const QString& path);
    bool saveProject();
    bool saveProjectAs();
    // Asks "Save changes to ...?" for a modified project; false: the user cancelled
    // (or the save failed), so whatever was about to happen must not.
    bool saveModified();

    // The session is ending or a termination signal arrived: ask (when the
    // user can answer) or save what has a file. False: the user cancelled.
    bool commitData(bool userCanAnswer);

private:
    class FrameProgress;

    void createMainWindow();
    void wireCommands();
    void wireShellEditors();
    void registerDocumentTypes();
    // The --print and --print-to command lines: every package's report, no dialog.
    int printProject(const QString& printer);
    bool openStartProject();
    void keepMissingPackagesWithoutAsking();
    // Opens without asking about the current project first.
    bool loadProject(const QString& path);
    void documentChanged();
    bool doSave(const std::string& path);

    SettingsStore& settings_;
    std::unique_ptr<UserInterface> ownUi_;
    UserInterface* ui_ = nullptr;
    std::unique_ptr<FileDialogs> ownDialogs_;
    FileDialogs* dialogs_ = nullptr;
    std::unique_ptr<Pickers> ownPickers_;
    Pickers* pickers_ = nullptr;
    std::unique_ptr<EditingContext> editing_;
    std::unique_ptr<CPCNDoc> doc_;
    std::unique_ptr<FrameProgress> progress_;
    std::unique_ptr<ReportPrinting> printing_;
    std::unique_ptr<SingleInstanceGuard> guard_;
    std::unique_ptr<AutomationServer> automation_;
    QPointer<CMainFrame> frame_;
    QPointer<CPCNView> list_;
    QPointer<CInfoView> info_;
};

}  // namespace pcn::gui
