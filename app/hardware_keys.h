// The four hardware application keys, on keyboard keys (F1 to F4 unless configured).
// A key's press and release do different things; on an old system long presses are measured
// with timers: the timer's action runs when the key is held long enough, and the release then
// sees the held time.
#pragma once

#include <QTimer>

#include <array>
#include <cstdint>

#include "frame/frame_state.h"

namespace vexa {

class Clock;

// What the keys do to the rest of the window. Called on the UI thread, without the state
// mutex held.
class HardwareKeyActions {
public:
    virtual ~HardwareKeyActions() = default;
    virtual DisplayMode currentView() = 0;
    virtual bool calibrating() = 0;
    virtual bool gpsRunning() = 0;
    // GPS reception or a replay runs.
    virtual bool receiving() = 0;
    virtual void switchWindow() = 0;
    virtual void stepMoveDisplay(int delta) = 0;
    virtual void sendCommand(int id) = 0;
    virtual void clearTrace() = 0;
    virtual void selectMapAtZoom() = 0;       // as key "i"
    virtual void selectMapAtPosition() = 0;   // as key "j"
    virtual bool swapMapDirectories() = 0;    // false when there is no other directory
    virtual void openLogByKey() = 0;
    virtual void displayPower(bool off) = 0;
    virtual void beep() = 0;
};

class HardwareKeys {
public:
    static constexpr int kDisplayOffMs = 1500;
    static constexpr int kMoveBackMs = 1000;
    static constexpr int kLongKey3Ms = 2000;

    HardwareKeys(FrameState& frame, std::atomic<std::uint32_t>& lastActivityTick, const Clock& clock,
                 HardwareKeyActions& actions, bool oldSystem);

    // Key 1..4.
    void press(int key);
    void release(int key);
    bool oldSystem() const { return oldSystem_; }
    bool timerActive(int key) const;

private:
    FrameState& frame_;
    std::atomic<std::uint32_t>& lastActivity_;
    const Clock& clock_;
    HardwareKeyActions& actions_;
    bool oldSystem_;
    std::array<std::uint32_t, 4> pressTick_{};
    std::array<QTimer, 4> timers_;
    bool offByHold_ = false;  // key 1's timer switched the screen off during this press

    std::uint32_t held(int key) const;
    void start(int key, int ms);
    void stop(int key);
    void timerFired(int key);
    bool screenOff() const;
    void wake();
    void release1();
    void release2();
    void release3();
    void release4();
};

}  // namespace vexa
