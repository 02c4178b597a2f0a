#include "app/hardware_keys.h"

#include "app/command_ids.h"
#include "platform/clock.h"

namespace vexa {

HardwareKeys::HardwareKeys(FrameState& frame, std::atomic<std::uint32_t>& lastActivityTick,
                           const Clock& clock, HardwareKeyActions& actions, bool oldSystem)
    : frame_(frame), lastActivity_(lastActivityTick), clock_(clock), actions_(actions),
      oldSystem_(oldSystem) {
    for (int i = 0; i < 4; ++i) {
        timers_[static_cast<std::size_t>(i)].setSingleShot(true);
        QObject::connect(&timers_[static_cast<std::size_t>(i)], &QTimer::timeout,
                         [this, i] { timerFired(i + 1); });
    }
}

std::uint32_t HardwareKeys::held(int key) const {
    return clock_.tickCount() - pressTick_[static_cast<std::size_t>(key - 1)];
}

void HardwareKeys::start(int key, int ms) {
    pressTick_[static_cast<std::size_t>(key - 1)] = clock_.tickCount();
    timers_[static_cast<std::size_t>(key - 1)].start(ms);
}

void HardwareKeys::stop(int key) { timers_[static_cast<std::size_t>(key - 1)].stop(); }

bool HardwareKeys::timerActive(int key) const {
    return timers_[static_cast<std::size_t>(key - 1)].isActive();
}

bool HardwareKeys::screenOff() const { return !frame_.bAutoScreenOn || frame_.bManualScreenOff; }

// A release while the screen is off only wakes it.
void HardwareKeys::wake() {
    frame_.bAutoScreenOn = true;
    frame_.bManualScreenOff = false;
    actions_.displayPower(false);
}

void HardwareKeys::press(int key) {
    switch (key) {
    case 1:
        offByHold_ = false;
        if (oldSystem_ && !frame_.bManualScreenOff) start(1, kDisplayOffMs);
        pressTick_[0] = clock_.tickCount();
        frame_.bManualScreenOff = false;
        break;
    case 2:
        if (oldSystem_ && actions_.currentView() == DisplayMode::Move) start(2, kMoveBackMs);
        break;
    case 3:
        if (oldSystem_) start(3, kLongKey3Ms);
        break;
    default:
        break;
    }
    lastActivity_ = clock_.tickCount();
}

void HardwareKeys::release(int key) {
    switch (key) {
    case 1: release1(); break;
    case 2: release2(); break;
    case 3: release3(); break;
    case 4: release4(); break;
    default: break;
    }
    lastActivity_ = clock_.tickCount();
}

// Long presses: key 1 switches the display off, key 2 beeps, key 3 beeps and in the GPS view
// shows the NMEA view.
void HardwareKeys::timerFired(int key) {
    switch (key) {
    case 1:
        frame_.bAutoScreenOn = false;
        frame_.bManualScreenOff = true;
        offByHold_ = true;
        actions_.displayPower(true);
        actions_.beep();
        break;
    case 2:
        actions_.beep();
        break;
    case 3:
        actions_.beep();
        if (actions_.currentView() == DisplayMode::Gps) actions_.sendCommand(cmd::NmeaView);
        break;
    default:
        break;
    }
}

void HardwareKeys::release1() {
    if (offByHold_) {  // the release that ends the long press leaves the screen off
        offByHold_ = false;
        return;
    }
    if (screenOff()) {
        wake();
        return;
    }
    if (oldSystem_) {
        if (held(1) >= kDisplayOffMs) return;
        stop(1);
    }
    actions_.switchWindow();
}

void HardwareKeys::release2() {
    if (actions_.currentView() == DisplayMode::Move && !actions_.calibrating()) {
        int delta = 1;
        if (oldSystem_) {
            stop(2);
            if (held(2) >= kMoveBackMs + 1) delta = -1;
        }
        actions_.stepMoveDisplay(delta);
        actions_.sendCommand(cmd::MoveView);
        return;
    }
    if (screenOff()) wake();
    else actions_.clearTrace();
}

void HardwareKeys::release3() {
    if (screenOff()) {
        wake();
        return;
    }
    const DisplayMode view = actions_.currentView();
    const bool longPress = oldSystem_ && held(3) > static_cast<std::uint32_t>(kLongKey3Ms);
    if (view == DisplayMode::Move || view == DisplayMode::Karte) {
        stop(3);
        if (!(longPress && !actions_.receiving() && actions_.swapMapDirectories()))
            actions_.selectMapAtZoom();
        return;
    }
    if (actions_.receiving()) return;
    if (longPress) {
        actions_.openLogByKey();
        actions_.sendCommand(cmd::NmeaView);
    }
    frame_.logOpenedByKey = true;
    actions_.sendCommand(cmd::GpsStart);
}

void HardwareKeys::release4() {
    if (screenOff()) {
        wake();
        return;
    }
    const DisplayMode view = actions_.currentView();
    if (view == DisplayMode::Gps || view == DisplayMode::Nmea) {
        if (actions_.gpsRunning()) actions_.sendCommand(cmd::GpsStop);
    } else {
        actions_.selectMapAtPosition();
    }
}

}  // namespace vexa
