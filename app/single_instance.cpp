#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

#include "platform/paths.h"

namespace vexa {

namespace {
constexpr int kConnectMs = 1000;
constexpr char kRaise[] = "raise\n";
}

SingleInstance::SingleInstance(QString serverName) : name_(std::move(serverName)) {}

SingleInstance::~SingleInstance() { delete server_; }

QString SingleInstance::defaultServerName() {
    const QByteArray key = QByteArray::fromStdString(settingsFile().string());
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(12);
    return QString("vexa-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::notifyRunning() {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kConnectMs)) return false;
    socket.write(kRaise);
    socket.flush();
    socket.waitForBytesWritten(kConnectMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen(std::function<void()> onRaise) {
    server_ = new QLocalServer;
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A server file left behind by a program that ended without cleaning up.
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) return false;
    }
    QObject::connect(server_, &QLocalServer::newConnection, server_, [this, onRaise] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, onRaise] {
                if (socket->readAll().contains("raise")) onRaise();
            });
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}

}  // namespace vexa
