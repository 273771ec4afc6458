#pragma once
// The automation interface: a running pcn started with --automation (or
// --embedding) offers it on the session bus, so that desktop scripts can open
// a project, start the package wizard and build packages, and hear when a
// build has finished.
//
//   service   org.tarnwick.Parcelon
//   object    /org/tarnwick/Parcelon
//   interface org.tarnwick.Parcelon
//
// Calls return at once; a build runs in the same Re-Build Project window a
// user gets, and BuildFinished reports its end. No call ever waits on a
// dialog: what a user would have been shown goes to stderr, the call returns
// false, and LastMessage tells the caller why.

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class AutomationUserInterface;
class CPCNApp;
class CRebuildProjectDlg;

inline constexpr const char* kAutomationService = "org.tarnwick.Parcelon";
inline constexpr const char* kAutomationPath = "/org/tarnwick/Parcelon";

class AutomationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tarnwick.Parcelon")
    // Written out so that the arguments and results have names for callers.
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.tarnwick.Parcelon\">\n"
                "    <method name=\"OpenProject\">\n"
                "      <arg name=\"path\" type=\"s\" direction=\"in\"/>\n"
                "      <arg name=\"opened\" type=\"b\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <method name=\"NewPackage\">\n"
                "      <arg name=\"started\" type=\"b\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <method name=\"BuildPackage\">\n"
                "      <arg name=\"name\" type=\"s\" direction=\"in\"/>\n"
                "      <arg name=\"started\" type=\"b\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <method name=\"BuildProject\">\n"
                "      <arg name=\"started\" type=\"b\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <method name=\"LastMessage\">\n"
                "      <arg name=\"text\" type=\"s\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <method name=\"Quit\"/>\n"
                "    <signal name=\"BuildFinished\">\n"
                "      <arg name=\"package\" type=\"s\"/>\n"
                "      <arg name=\"success\" type=\"b\"/>\n"
                "    </signal>\n"
                "  </interface>\n")
public:
    // messages: where the texts of the calls go (null: LastMessage is empty).
    AutomationServer(CPCNApp& app, AutomationUserInterface* messages, QObject* parent = nullptr);
    ~AutomationServer() override;

    // Claims the service name and exports the object on the session bus.
    // False (with the reason) when there is no session bus or the name is taken.
    bool registerOnSessionBus(QString* error);

public slots:
    // Opens a project file as File > Open Project does. False when it could
    // not be opened, or the open project has unsaved changes.
    Q_SCRIPTABLE bool OpenProject(const QString& path);
    // Starts the New Package wizard. False when the command is not available
    // or there is no display to show the wizard on.
    Q_SCRIPTABLE bool NewPackage();
    // Builds the package of the open project whose project name or product
    // name is `name` (ignoring case). False when there is no such package or
    // a build runs already.
    Q_SCRIPTABLE bool BuildPackage(const QString& name);
    // Builds every cabinet-type package of the open project, one after the
    // other; a BuildFinished signal follows each. False when there is none to
    // build or a build runs already.
    Q_SCRIPTABLE bool BuildProject();
    // Closes the main window, as File > Exit does.
    Q_SCRIPTABLE void Quit();
    // The text of the last message of the last call that showed one (an
    // error's details on the lines after it); empty when it showed none.
    Q_SCRIPTABLE QString LastMessage() const;

signals:
    Q_SCRIPTABLE void BuildFinished(const QString& package, bool success);

private:
    CCabObj* packageNamed(const QString& name) const;
    bool building() const { return !queue_.empty(); }
    void buildNext();
    void buildEnded(CCabObj* package, bool success);

    // Starts a call: the last call's message is forgotten.
    void beginCall();
    // A refusal with its reason, as a dialog would have shown it.
    bool refuse(const char* reason);

    CPCNApp& app_;
    AutomationUserInterface* messages_;
    std::deque<CCabObj*> queue_;
    QPointer<CRebuildProjectDlg> dialog_;
};

}  // namespace pcn::gui
