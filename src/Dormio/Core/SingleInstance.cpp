#include "Dormio/Core/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

namespace dormio {

namespace {

constexpr int answerTimeoutMs = 1000;
const QByteArray showRequest = "show\n";

} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)) {}

QString SingleInstance::defaultSocketPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) return QDir(runtime).filePath("dormio.sock");
    return QDir(QDir::tempPath()).filePath(QStringLiteral("dormio-%1.sock").arg(getuid()));
}

bool SingleInstance::claim() {
    if (askRunningCopy()) return false;
    if (listen()) return true;
    // Another copy may have started between the two steps; if it answers now, it is the running one.
    if (askRunningCopy()) return false;
    // Nobody answers: the socket was left behind by a copy that ended without removing it.
    QLocalServer::removeServer(path_);
    return listen();
}

bool SingleInstance::askRunningCopy() {
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(answerTimeoutMs)) return false;
    socket.write(showRequest);
    socket.waitForBytesWritten(answerTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path_)) {
        delete server;
        return false;
    }
    server_ = server;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (client->readAll().contains('\n')) emit activationRequested();
            });
        }
    });
    return true;
}

} // namespace dormio
