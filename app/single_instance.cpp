#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

#include "platform/paths.h"

namespace vexa {

namespace {
constexpr int kConnectMs = 1000;
// One line per start: "raise", or "replay " and the log's absolute path.
constexpr char kRaise[] = "raise";
constexpr char kReplay[] = "replay ";
}

SingleInstance::SingleInstance(QString serverName) : name_(std::move(serverName)) {}

SingleInstance::~SingleInstance() { delete server_; }

QString SingleInstance::defaultServerName() {
    const QByteArray key = QByteArray::fromStdString(settingsFile().string());
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(12);
    return QString("vexa-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::notifyRunning(const std::optional<std::filesystem::path>& replay) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kConnectMs)) return false;
    std::error_code ec;
    socket.write(replay ? kReplay + QByteArray::fromStdString(std::filesystem::absolute(*replay, ec).string())
                        : QByteArray(kRaise));
    socket.write("\n");
    socket.flush();
    socket.waitForBytesWritten(kConnectMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen(Start onStart) {
    server_ = new QLocalServer;
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A server file left behind by a program that ended without cleaning up.
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) return false;
    }
    QObject::connect(server_, &QLocalServer::newConnection, server_, [this, onStart] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, onStart] {
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine().chopped(1);
                    if (line == kRaise) onStart(std::nullopt);
                    else if (line.startsWith(kReplay)) onStart(std::filesystem::path(line.mid(sizeof kReplay - 1).toStdString()));
                }
            });
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}

}  // namespace vexa
