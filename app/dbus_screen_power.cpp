#include "app/dbus_screen_power.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QThread>

#include "app/ui_thread.h"

namespace vexa {

namespace {

const char* const kService = "org.freedesktop.ScreenSaver";
const char* const kPath = "/org/freedesktop/ScreenSaver";

QDBusMessage screenSaverCall(const char* method) {
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

}  // namespace

DBusScreenPower::DBusScreenPower(QObject* parent) : QObject(parent) {
    // No address, no bus: do not let the bus library start one.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) return;
    available_ = bus.interface()->isServiceRegistered(kService).value();
}

bool DBusScreenPower::inhibitIdle(bool hold) {
    if (!available_) return false;
    postToUi(this, [this, hold] {
        std::lock_guard lock(mutex_);
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (hold && cookie_ == 0) {
            QDBusMessage call = screenSaverCall("Inhibit");
            call << QStringLiteral("vexa") << QStringLiteral("Replay");
            const QDBusReply<std::uint32_t> reply = bus.call(call, QDBus::Block, 2000);
            if (reply.isValid()) cookie_ = reply.value();
        } else if (!hold && cookie_ != 0) {
            QDBusMessage call = screenSaverCall("UnInhibit");
            call << cookie_;
            bus.call(call, QDBus::NoBlock);
            cookie_ = 0;
        }
    });
    return true;
}

bool DBusScreenPower::setScreenOff(bool off) {
    if (!available_) return false;
    postToUi(this, [off] {
        QDBusMessage call = screenSaverCall("SetActive");
        call << off;
        QDBusConnection::sessionBus().call(call, QDBus::NoBlock);
    });
    return true;
}

}  // namespace vexa
