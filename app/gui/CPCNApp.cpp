#include "app/gui/CPCNApp.h"

#include <QApplication>
#include <QTimer>

#include <clocale>
#include <cstdio>

#include "app/core/CPCNDoc.h"
#include "app/gui/AutomationServer.h"
#include "app/gui/AutomationUserInterface.h"
#include "app/gui/CAboutDlg.h"
#include "app/gui/CommandLine.h"
#include "app/gui/CExportDlg.h"
#include "app/gui/CInfoView.h"
#include "app/gui/CMainFrame.h"
#include "app/gui/CMissingPackageFilesDlg.h"
#include "app/gui/CPCNView.h"
#include "app/gui/FileDialogs.h"
#include "app/gui/HelpTopic.h"
#include "app/gui/ReportPrinting.h"
#include "app/gui/SingleInstanceGuard.h"
#include "distribution/MailSender.h"
#include "distribution/gui/QtUserInterface.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/options/CStdProperties.h"
#include "editing/gui/pickers/QtPickers.h"
#include "platform/AtomicFile.h"
#include "platform/gui/DialogFit.h"
#include "platform/gui/DialogKeys.h"
#include "platform/Paths.h"
#include "platform/RegistryHelper.h"
#include "platform/SettingsStore.h"
#include "signing/gui/CCheckTrustSheet.h"
#include "signing/gui/CSignCodePropertySheet.h"
#include "web/gui/ComponentCommands.h"
#include "web/gui/WebEditors.h"

namespace pcn::gui {
namespace {

constexpr std::string_view kGeneralSection = "Settings\\General";
constexpr const char* kDocumentType = "PCN.Project";

bool containsPackageExtension(const QString& path) { return path.contains(".pcp", Qt::CaseInsensitive); }

// Commands the package list carries out (and their enabling).
constexpr int kListCommands[] = {
    ID_FILE_NEW_PACKAGE, ID_FILE_NEW_WEB_PACKAGE, ID_FILE_OPEN_PACKAGE, ID_FILE_SAVE_PACKAGE,
    ID_FILE_SAVE_PACKAGE_AS, ID_PROJECT_PROPERTIES, ID_PROJECT_REBUILD, ID_PROJECT_SEND_FTP,
    ID_FILE_SEND_MAIL, ID_PROJECT_OPEN_OUTPUT, ID_PROJECT_CONTENTS, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_REMOVE,
    ID_EDIT_UNDO, ID_FILE_EXPORT, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW,
    ID_FILE_PRINT_SETUP,
};

}  // namespace

class CPCNApp::FrameProgress : public ProgressSink {
public:
    explicit FrameProgress(CMainFrame* frame) : frame_(frame) {}
    void setProgress(int value) override {
        if (frame_) frame_->setProgress(value);
    }

private:
    QPointer<CMainFrame> frame_;
};

CPCNApp::CPCNApp(SettingsStore& settings, UserInterface* ui, FileDialogs* dialogs, Pickers* pickers)
    : settings_(settings) {
    if (!ui) {
        ownUi_ = std::make_unique<QtUserInterface>();
        ui = ownUi_.get();
    }
    ui_ = ui;
    if (!dialogs) {
        ownDialogs_ = std::make_unique<QtFileDialogs>();
        dialogs = ownDialogs_.get();
    }
    dialogs_ = dialogs;
    if (!pickers) {
        ownPickers_ = std::make_unique<QtPickers>();
        pickers = ownPickers_.get();
    }
    pickers_ = pickers;
    editing_ = std::make_unique<EditingContext>(EditingContext{settings_, *ui_, *pickers_});
    doc_ = std::make_unique<CPCNDoc>(ui_);
}

CPCNApp::~CPCNApp() {
    doc_->SetProgressSink(nullptr);
    doc_->SetContentsClearedHandler({});
    doc_->SetModifiedChangedHandler({});
    DialogFitter::uninstall();
    DialogKeys::uninstall();
    doc_->SetMissingFileReconciler({});
    delete frame_.data();
}

// ---- start-up ------------------------------------------------------------------------

int CPCNApp::initInstance(const QStringList& arguments, const Options& options) {
    // Help and version are answered before anything is locked or written.
    const CommandLine line = ParseCommandLine(arguments);
    if (const int answered = AnswerWithoutWindow(line); answered >= 0) return answered;
    if (options.singleInstance && !line.print) {
        guard_ = std::make_unique<SingleInstanceGuard>(
            SingleInstanceGuard::keyForSettingsFile(QString::fromStdString(settings_.file().string())));
        switch (guard_->acquire()) {
            case SingleInstanceGuard::Result::First: break;
            case SingleInstanceGuard::Result::OtherRaised: return 1;
            case SingleInstanceGuard::Result::OtherRunning:
                ui_->message(kAlreadyRunning, "Information", Icon::Information, Buttons::Ok, Answer::Ok);
                return 1;
            case SingleInstanceGuard::Result::Failed:
                ui_->message("Error creating mapping", "Error", Icon::Error, Buttons::Ok, Answer::Ok);
                return 1;
        }
    }
    std::setlocale(LC_ALL, "");
    DialogFitter::install(&settings_);
    DialogKeys::install();
    installHelpKey();
    registerDocumentTypes();

    createMainWindow();
    if (line.automated()) keepMissingPackagesWithoutAsking();
    if (!line.project.isEmpty()) {
        if (containsPackageExtension(line.project)) {
            std::fprintf(stderr, "pcn: %s is a package file; open it from a project with Open Package.\n",
                         qPrintable(line.project));
            return 1;
        }
        if (!openProjectFile(line.project)) return 1;
        if (line.print) return printProject(line.printTo);
    } else if (!line.automated()) {
        openStartProject();
    } else {
        // An empty, unmodified project, so that the first OpenProject call
        // does not stop at "Save changes to Untitled?".
        documentChanged();
    }
    if (line.automated()) {
        // Driven by another program: no window until one of its calls opens one.
        automation_ = std::make_unique<AutomationServer>(*this, dynamic_cast<AutomationUserInterface*>(ui_));
        QString error;
        if (!automation_->registerOnSessionBus(&error)) {
            std::fprintf(stderr, "pcn: %s\n", qPrintable(error));
            return 1;
        }
        if (guard_) guard_->setMainWindow(frame_);
        return -1;
    }

    if (options.showWindow) frame_->show();
    if (guard_) guard_->setMainWindow(frame_);
    if (mailSupportPresent())
        frame_->applyMailMenuRule();
    else
        frame_->removeMailCommand();
    if (options.siblingFileCheck) QTimer::singleShot(0, list_, &CPCNView::startSiblingFileCheck);
    return -1;
}

// Nobody is there to repair a project's missing package files: they are
// named to the caller and stay in the project as not loaded.
void CPCNApp::keepMissingPackagesWithoutAsking() {
    doc_->SetMissingFileReconciler([this](std::vector<std::string>& missing) {
        std::string text = "The following Package file(s) were not found?";
        for (const std::string& path : missing) text += "\n" + path;
        ui_->message(text, kAppTitle, Icon::Warning, Buttons::Ok, Answer::Ok);
        return Answer::Ok;
    });
}

int CPCNApp::printProject(const QString& printer) {
    std::vector<const CCabObj*> packages;
    for (const auto& package : doc_->m_listPackages)
        if (package) packages.push_back(package.get());
    if (packages.empty()) {
        std::fprintf(stderr, "pcn: the project has no package to print.\n");
        return 1;
    }
    const QString error = ReportPrinting::printReports(packages, printer);
    if (error.isEmpty()) return 0;
    std::fprintf(stderr, "pcn: %s\n", qPrintable(error));
    return 1;
}

void CPCNApp::registerDocumentTypes() {
    // The desktop's file types come with the installed .desktop and MIME
    // files; the class keys are kept for the parts that read them.
    CRegistryHelper helper(ui_, &settings_);
    auto setDefault = [&](std::string_view key, std::string_view value) {
        std::string current;
        const std::string section = std::string(CRegistryHelper::kClassesRoot) + "\\" + std::string(key);
        if (settings_.contains(section, "") && settings_.readString(section, "", "") == value) return;
        helper.SetClassDefault(key, value);
    };
    setDefault(".pcn", kDocumentType);
    setDefault(kDocumentType, kAppTitle);
    setDefault(".pcp", kDocumentType);
}

void CPCNApp::createMainWindow() {
    frame_ = new CMainFrame(settings_);
    if (auto* qtUi = dynamic_cast<QtUserInterface*>(ui_)) qtUi->setOwner(frame_);

    list_ = new CPCNView(*doc_, settings_, *ui_, *dialogs_);
    info_ = new CInfoView;
    list_->setInfoView(info_);
    info_->setListView(list_);
    frame_->setPanes(list_, info_);

    progress_ = std::make_unique<FrameProgress>(frame_);
    doc_->SetProgressSink(progress_.get());
    doc_->SetContentsClearedHandler([this] {
        if (list_) list_->contentsCleared();
    });
    doc_->SetModifiedChangedHandler([this](bool modified) {
        if (frame_) frame_->setWindowModified(modified);
    });
    wireShellEditors();
    wireCommands();
}

// What the shell itself serves to the document and the list view: the
// repair of missing package files while a project loads, printing, export.
void CPCNApp::wireShellEditors() {
    doc_->SetMissingFileReconciler([this](std::vector<std::string>& missing) {
        CMissingPackageFilesDlg dialog(missing, settings_, *ui_, *pickers_, frame_);
        return dialog.exec() == QDialog::Accepted ? Answer::Ok : Answer::Cancel;
    });
    printing_ = std::make_unique<ReportPrinting>(*ui_, frame_);
    PackageEditors& editors = list_->editors();
    editors.print = [this](CCabObj& package, bool preview) { printing_->print(package, preview); };
    editors.printSetup = [this] { printing_->printSetup(); };
    editors.exportDialog = [this](CPCNDoc& doc) {
        CExportDlg dialog(doc, *ui_, *pickers_, frame_);
        dialog.exec();
    };
    InstallWebEditors(editors, *editing_, frame_);
}

void CPCNApp::wireCommands() {
    CMainFrame& frame = *frame_;
    frame.setCommandHandler(ID_FILE_NEW, [this] { newProject(); });
    frame.setCommandHandler(ID_FILE_OPEN, [this] { openProject(); });
    frame.setCommandHandler(ID_FILE_SAVE, [this] { saveProject(); });
    frame.setCommandHandler(ID_FILE_SAVE_AS, [this] { saveProjectAs(); });
    for (int id : kListCommands)
        frame.setCommandHandler(
            id, [this, id] { list_->runCommand(id); }, [this, id] { return list_ && list_->canRunCommand(id); },
            [this, id] { return list_ ? list_->whyDisabled(id) : QString(); });
    frame.setCommandHandler(ID_VIEW_EXPAND_ALL, [this] { info_->expandAllHeadings(); });
    frame.setCommandHandler(ID_VIEW_COLLAPSE, [this] { info_->collapseAllHeadings(); });
    frame.setCommandHandler(ID_VIEW_OPTIONS, [this] { RunOptionsSheet(*editing_, frame_); });
    frame.setCommandHandler(ID_SIGN_FILE, [this] { RunSignFileCommand(*editing_, frame_); });
    frame.setCommandHandler(ID_CHECK_TRUST, [this] { RunCheckTrustCommand(*editing_, frame_); });
    frame.setCommandHandler(ID_COMPONENT_REGISTER, [this] { RunRegisterCommand(*editing_, frame_); });
    frame.setCommandHandler(ID_COMPONENT_UNREGISTER, [this] { RunUnregisterCommand(*editing_, frame_); });
    frame.setCommandHandler(ID_COMPONENT_CREATE_LPK, [this] { RunCreateLpkCommand(*editing_); });
    frame.setCommandHandler(ID_COMPONENT_HTML_TEMPLATE, [this] { RunHtmlTemplateCommand(*editing_, frame_); });
    frame.setCommandHandler(ID_APP_ABOUT, [this] {
        CAboutDlg about(frame_);
        about.exec();
    });
    frame.setRecentFileHandler([this](const QString& path) {
        if (containsPackageExtension(path) || !saveModified()) return;
        if (!loadProject(path)) frame_->removeRecentFile(path);
    });
    frame.setCloseGuard([this] { return saveModified(); });
    connect(&frame, &CMainFrame::filesDropped, this, [this](const QStringList& files) {
        if (!files.isEmpty()) openProjectFile(files.back());
    });
    connect(list_, &CPCNView::commandsChanged, frame_, &CMainFrame::updateCommandUi);
}

bool CPCNApp::openStartProject() {
    const int reload = settings_.readInt(kGeneralSection, "Reload Workspace", 1);
    const QStringList recent = frame_->recentFiles();
    bool opened = false;
    if (recent.isEmpty()) {
        const std::string path = dataFolder() + kDefaultProjectName;
        if (!fileExists(path)) writeFileAtomically(path, CPCNDoc::StoreProjectFile({}));
        opened = openProjectFile(QString::fromStdString(path));
    } else if (reload) {
        opened = openProjectFile(recent.front());
    }
    if (!opened) {
        doc_->OnNewDocument();
        documentChanged();
    }
    return opened;
}

// ---- project commands ---------------------------------------------------------------

void CPCNApp::documentChanged() {
    if (list_) list_->fillList();
    if (frame_) {
        frame_->setDocumentTitle(QString::fromStdString(doc_->GetTitle()));
        frame_->setWindowModified(doc_->IsModified());
        frame_->updateCommandUi();
    }
}

bool CPCNApp::newProject() {
    if (!saveModified()) return false;
    doc_->OnNewDocument();
    documentChanged();
    return true;
}

bool CPCNApp::openProject() {
    const QString path =
        dialogs_->openFile(frame_, "Open Project", QString::fromStdString(dataFolder()), kProjectFileFilter);
    if (path.isEmpty()) return false;
    return openProjectFile(path);
}

bool CPCNApp::openProjectFile(const QString& path) {
    if (containsPackageExtension(path)) return false;
    if (!saveModified()) return false;
    return loadProject(path);
}

bool CPCNApp::loadProject(const QString& path) {
    if (containsPackageExtension(path)) return false;
    if (!doc_->OnOpenDocument(path.toStdString())) return false;
    if (frame_) frame_->addRecentFile(QString::fromStdString(doc_->GetPathName()));
    documentChanged();
    return true;
}

bool CPCNApp::doSave(const std::string& path) {
    if (!doc_->OnSaveDocument(path)) return false;
    if (frame_) {
        frame_->addRecentFile(QString::fromStdString(path));
        frame_->setDocumentTitle(QString::fromStdString(doc_->GetTitle()));
        frame_->updateCommandUi();
    }
    return true;
}

bool CPCNApp::saveProject() {
    const std::string& path = doc_->GetPathName();
    if (path.empty()) return saveProjectAs();
    return doSave(path);
}

bool CPCNApp::saveProjectAs() {
    const std::string current = doc_->GetPathName();
    const std::string initial = current.empty() ? dataFolder() + doc_->GetTitle() + ".pcn" : current;
    const QString path =
        dialogs_->saveFile(frame_, "Save Project As", QString::fromStdString(initial), kProjectFileFilter);
    if (path.isEmpty()) return false;
    return doSave(path.toStdString());
}

bool CPCNApp::saveModified() {
    if (!doc_->IsModified()) return true;
    const std::string name = doc_->GetPathName().empty() ? doc_->GetTitle() : doc_->GetPathName();
    switch (ui_->message("Save changes to " + name + "?", kAppTitle, Icon::Warning, Buttons::SaveDiscardCancel,
                         Answer::Yes)) {
        case Answer::Yes: return saveProject();
        case Answer::No: return true;
        default: return false;
    }
}

bool CPCNApp::commitData(bool userCanAnswer) {
    if (!doc_->IsModified()) return true;
    if (userCanAnswer) return saveModified();
    if (!doc_->GetPathName().empty()) doSave(doc_->GetPathName());
    return true;
}

}  // namespace pcn::gui
