#include "app/gui/AutomationServer.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QTimer>

#include "app/core/CPCNDoc.h"
#include "app/gui/AutomationUserInterface.h"
#include "app/gui/CMainFrame.h"
#include "app/gui/CPCNApp.h"
#include "app/gui/CPCNView.h"
#include "app/gui/Commands.h"
#include "building/gui/BuildHostPanel.h"
#include "building/gui/CRebuildProjectDlg.h"
#include "editing/gui/EditingContext.h"
#include "model/CCabObj.h"

namespace pcn::gui {

namespace {
constexpr const char* kBuildRunning = "A build is running.";
}

AutomationServer::AutomationServer(CPCNApp& app, AutomationUserInterface* messages, QObject* parent)
    : QObject(parent), app_(app), messages_(messages) {}

AutomationServer::~AutomationServer() { delete dialog_.data(); }

bool AutomationServer::registerOnSessionBus(QString* error) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (error) *error = "No session bus: " + bus.lastError().message();
        return false;
    }
    if (!bus.registerObject(kAutomationPath, this,
                            QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals)) {
        if (error) *error = "Unable to export the automation object: " + bus.lastError().message();
        return false;
    }
    if (!bus.registerService(kAutomationService)) {
        if (error) *error = QString("The name %1 is taken on the session bus: ").arg(kAutomationService) +
                            bus.lastError().message();
        bus.unregisterObject(kAutomationPath);
        return false;
    }
    return true;
}

void AutomationServer::beginCall() {
    if (messages_) messages_->clear();
}

bool AutomationServer::refuse(const char* reason) {
    if (messages_) messages_->message(reason, "Parcelon", Icon::Warning, Buttons::Ok, Answer::Ok);
    return false;
}

QString AutomationServer::LastMessage() const {
    return messages_ ? QString::fromStdString(messages_->lastMessage()) : QString();
}

bool AutomationServer::OpenProject(const QString& path) {
    beginCall();
    if (building()) return refuse(kBuildRunning);
    return app_.openProjectFile(path);
}

bool AutomationServer::NewPackage() {
    beginCall();
    CPCNView* list = app_.listView();
    if (!list || !list->canRunCommand(ID_FILE_NEW_PACKAGE)) return refuse("New Package is not available now.");
    // The wizard waits for a user: without a screen nobody could finish it.
    if (QGuiApplication::platformName() == "offscreen") return refuse("There is no display to show the wizard on.");
    // The wizard runs its own event loop: answer the caller first.
    QTimer::singleShot(0, list, [list] { list->runCommand(ID_FILE_NEW_PACKAGE); });
    return true;
}

CCabObj* AutomationServer::packageNamed(const QString& name) const {
    for (const auto& package : app_.doc().m_listPackages) {
        if (!package) continue;
        if (name.compare(QString::fromStdString(package->m_strProjectName), Qt::CaseInsensitive) == 0 ||
            name.compare(QString::fromStdString(package->m_strProduct), Qt::CaseInsensitive) == 0)
            return package.get();
    }
    return nullptr;
}

bool AutomationServer::BuildPackage(const QString& name) {
    beginCall();
    if (building()) return refuse(kBuildRunning);
    CCabObj* package = packageNamed(name);
    if (!package) return refuse("The project has no such package.");
    if (package->IsWebPackage()) return refuse("A web package is not built: its files are written by its wizard.");
    queue_.push_back(package);
    QTimer::singleShot(0, this, &AutomationServer::buildNext);
    return true;
}

bool AutomationServer::BuildProject() {
    beginCall();
    if (building()) return refuse(kBuildRunning);
    for (const auto& package : app_.doc().m_listPackages)
        if (package && !package->IsWebPackage()) queue_.push_back(package.get());
    if (queue_.empty()) return refuse("The project has no package to build.");
    QTimer::singleShot(0, this, &AutomationServer::buildNext);
    return true;
}

void AutomationServer::buildNext() {
    if (queue_.empty()) return;
    CCabObj* package = queue_.front();
    EditingContext& context = app_.editingContext();
    dialog_ = new CRebuildProjectDlg(*package, context.ui, context.settings, app_.frame());
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog_->panel(), &BuildHostPanel::buildEnded, this,
            [this, package](bool success) { buildEnded(package, success); }, Qt::QueuedConnection);
    dialog_->show();  // the build starts when the window shows
}

void AutomationServer::buildEnded(CCabObj* package, bool success) {
    // The record now holds the build's outcome: keep it in its file, as the
    // project view does after a rebuild.
    CPCNDoc::SavePackage(*package);
    if (dialog_) dialog_->close();
    if (CPCNView* list = app_.listView()) {
        list->fillList();
        list->selectPackage(package);
    }
    const QString name = QString::fromStdString(package->m_strProjectName.empty() ? package->m_strProduct
                                                                                   : package->m_strProjectName);
    queue_.pop_front();
    emit BuildFinished(name, success);
    if (!queue_.empty()) buildNext();
}

void AutomationServer::Quit() {
    queue_.clear();
    if (CMainFrame* frame = app_.frame()) QTimer::singleShot(0, frame, [frame] { frame->close(); });
}

}  // namespace pcn::gui
