#pragma once
// Keeps one running program per user and settings profile. The first start
// holds a lock file and listens on a local socket; a later start finds the
// lock taken, asks the first to raise its window and exits.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QLocalSocket;

namespace pcn::gui {

class SingleInstanceGuard : public QObject {
    Q_OBJECT
public:
    enum class Result {
        First,         // this process is the only one: go on
        OtherRaised,   // another one runs and has raised its window
        OtherRunning,  // another one runs but showed no window
        Failed,        // the guard itself could not be set up
    };

    // key names the profile (the settings file): one instance per key.
    explicit SingleInstanceGuard(const QString& key, QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // The key for the settings file in use by this user.
    static QString keyForSettingsFile(const QString& settingsFile);

    Result acquire(int answerTimeoutMs = 10000);

    // The window that later starts bring to the front. Requests that came
    // before there was one are answered now.
    void setMainWindow(QWidget* window);

    QString serverName() const { return serverName_; }
    QString lockFilePath() const { return lockPath_; }

private:
    void acceptConnections();
    void answer(QLocalSocket* socket);
    static void bringToFront(QWidget* window);

    QString serverName_;
    QString lockPath_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    QPointer<QWidget> window_;
    std::vector<QPointer<QLocalSocket>> waiting_;
};

}  // namespace pcn::gui
