#include "app/gui/SingleInstanceGuard.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

#include <unistd.h>

namespace pcn::gui {
namespace {

constexpr const char* kRaiseRequest = "raise\n";
constexpr const char* kRaisedAnswer = "raised\n";

}  // namespace

QString SingleInstanceGuard::keyForSettingsFile(const QString& settingsFile) {
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(QDir::current().absoluteFilePath(settingsFile)).toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return QString("Tarnwick Parcelon-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

SingleInstanceGuard::SingleInstanceGuard(const QString& key, QObject* parent)
    : QObject(parent), serverName_(key), lockPath_(QDir::temp().absoluteFilePath(key + ".lock")) {
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstanceGuard::acceptConnections);
}

SingleInstanceGuard::~SingleInstanceGuard() {
    server_.close();
    if (lock_) lock_->unlock();
}

SingleInstanceGuard::Result SingleInstanceGuard::acquire(int answerTimeoutMs) {
    lock_ = std::make_unique<QLockFile>(lockPath_);
    lock_->setStaleLockTime(0);  // only a lock whose process has died is stale
    if (lock_->tryLock(0)) {
        QLocalServer::removeServer(serverName_);  // left over by a crashed first instance
        server_.setSocketOptions(QLocalServer::UserAccessOption);
        return server_.listen(serverName_) ? Result::First : Result::Failed;
    }
    if (lock_->error() != QLockFile::LockFailedError) return Result::Failed;

    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(answerTimeoutMs)) return Result::OtherRunning;
    socket.write(kRaiseRequest);
    socket.flush();
    QByteArray reply;
    while (!reply.contains('\n') && socket.waitForReadyRead(answerTimeoutMs)) reply += socket.readAll();
    return reply == kRaisedAnswer ? Result::OtherRaised : Result::OtherRunning;
}

void SingleInstanceGuard::setMainWindow(QWidget* window) {
    window_ = window;
    auto waiting = std::move(waiting_);
    for (const auto& socket : waiting)
        if (socket) answer(socket.data());
}

void SingleInstanceGuard::acceptConnections() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) return;
            socket->readAll();
            answer(socket);
        });
    }
}

void SingleInstanceGuard::answer(QLocalSocket* socket) {
    if (!window_) {
        // Not shown yet: answer once the window exists.
        waiting_.emplace_back(socket);
        return;
    }
    bringToFront(window_.data());
    socket->write(kRaisedAnswer);
    socket->flush();
    socket->disconnectFromServer();
}

void SingleInstanceGuard::bringToFront(QWidget* window) {
    if (window->isMinimized()) window->showNormal();
    window->raise();
    QWidget* front = QApplication::activeModalWidget();
    if (!front) front = window;
    front->raise();
    front->activateWindow();
}

}  // namespace pcn::gui
