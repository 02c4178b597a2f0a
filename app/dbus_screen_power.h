// The desktop's screen saver over the session D-Bus (org.freedesktop.ScreenSaver): idle
// inhibition for the backlight hold, and activation for "display off". Without a session bus
// or the service every call answers false and nothing is attempted.
#pragma once

#include <QObject>

#include <cstdint>
#include <mutex>

#include "platform/screen_power.h"

namespace vexa {

class DBusScreenPower : public QObject, public ScreenPower {
public:
    explicit DBusScreenPower(QObject* parent = nullptr);
    // Callable from any thread: the calls run on this object's (the UI) thread.
    bool inhibitIdle(bool hold) override;
    bool setScreenOff(bool off) override;
    bool available() const { return available_; }

private:
    bool available_ = false;
    std::mutex mutex_;
    std::uint32_t cookie_ = 0;  // of the active inhibition, guarded by mutex_
};

}  // namespace vexa
