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
// user gets, and BuildFinished reports its end.

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class CPCNApp;
class CRebuildProjectDlg;

inline constexpr const char* kAutomationService = "org.tarnwick.Parcelon";
inline constexpr const char* kAutomationPath = "/org/tarnwick/Parcelon";

class AutomationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tarnwick.Parcelon")
public:
    explicit AutomationServer(CPCNApp& app, QObject* parent = nullptr);
    ~AutomationServer() override;

    // Claims the service name and exports the object on the session bus.
    // False (with the reason) when there is no session bus or the name is taken.
    bool registerOnSessionBus(QString* error);

public slots:
    // Opens a project file as File > Open Project does (asking first to save a
    // modified project). False when it could not be opened.
    Q_SCRIPTABLE bool OpenProject(const QString& path);
    // Starts the New Package wizard. False when the command is not available.
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

signals:
    Q_SCRIPTABLE void BuildFinished(const QString& package, bool success);

private:
    CCabObj* packageNamed(const QString& name) const;
    bool building() const { return !queue_.empty(); }
    void buildNext();
    void buildEnded(CCabObj* package, bool success);

    CPCNApp& app_;
    std::deque<CCabObj*> queue_;
    QPointer<CRebuildProjectDlg> dialog_;
};

}  // namespace pcn::gui
