// pcn: the Tarnwick Parcelon window.
#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "app/gui/AutomationUserInterface.h"
#include "app/gui/CMainFrame.h"
#include "app/gui/CPCNApp.h"
#include "app/gui/CommandLine.h"
#include "building/gui/CRebuildProjectDlg.h"
#include "distribution/gui/SendEditors.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/Editors.h"
#include "platform/SettingsStore.h"
#include "platform/gui/MenuStyle.h"
#include "verifying/gui/CPackageContentsDlg.h"

namespace {

int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// SIGTERM and SIGHUP close the window the way the window manager does, so that
// a modified project is offered for saving instead of being dropped.
void closeOnTerminationSignals(pcn::gui::CPCNApp& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [&app] {
        char byte;
        [[maybe_unused]] ssize_t n = ::read(signalPipe[0], &byte, 1);
        if (app.frame()) app.frame()->close();
        else QApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// A program started by D-Bus on a machine without a desktop (a CI runner, a
// build server) has no display to connect to: it runs on the offscreen
// platform instead of aborting, since it shows nothing anyway.
void runOffscreenWithoutDisplay() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication::setApplicationName("Tarnwick Parcelon");
    QApplication::setOrganizationName("Tarnwick Development");
    QApplication::setApplicationVersion(PCN_VERSION);
    QApplication::setDesktopFileName("pcn");

    // --help, --version and mistakes are answered before Qt looks for a display.
    const pcn::gui::CommandLine line = pcn::gui::ParseCommandLine(argumentsOf(argc, argv));
    if (const int answered = pcn::gui::AnswerWithoutWindow(line); answered >= 0) return answered;
    if (line.automated()) runOffscreenWithoutDisplay();

    QApplication application(argc, argv);
    QApplication::setStyle(new pcn::gui::MenuStyle);
    // Under automation nobody can answer a dialog: messages go to the caller.
    pcn::gui::AutomationUserInterface automationUi;
    pcn::gui::CPCNApp app(pcn::SettingsStore::user(), line.automated() ? &automationUi : nullptr);
    const int early = app.initInstance(QApplication::arguments());
    if (early >= 0) return early;

    pcn::gui::InstallCabinetEditors(app.listView()->editors(), app.editingContext(), app.frame());
    pcn::gui::InstallSendEditors(app.listView()->editors(), app.editingContext(), app.frame());
    app.listView()->editors().rebuildDialog = [&app](pcn::CCabObj& package) {
        pcn::gui::EditingContext& context = app.editingContext();
        pcn::gui::RunRebuildDialog(package, context.ui, context.settings, app.frame());
    };
    app.listView()->editors().contentsDialog = [&app](const pcn::CCabObj& package) {
        pcn::gui::RunPackageContentsDialog(package, app.editingContext().settings, app.frame());
    };
    app.frame()->updateCommandUi();

    QObject::connect(&application, &QGuiApplication::commitDataRequest, &application,
                     [&app](QSessionManager& manager) {
                         const bool canAsk = manager.allowsInteraction();
                         if (!app.commitData(canAsk)) manager.cancel();
                         else if (canAsk) manager.release();
                     });
    // Closing the main window ends the program even while a dialog is still up.
    QObject::connect(app.frame(), &pcn::gui::CMainFrame::closed, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    closeOnTerminationSignals(app);
    return QApplication::exec();
}
