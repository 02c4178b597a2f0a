// Display power: switching the screen off and on, the external-power state and the backlight
// hold that keeps the screen lit during a replay.
//
// The screen is switched through the desktop (`ScreenPower`); where it cannot, the caller
// blanks its own window instead. The power status comes from the kernel's power-supply folder,
// the same reader the GPS view's battery gauge uses.
#pragma once

#include <atomic>
#include <filesystem>
#include <mutex>

#include "display/battery.h"

namespace vexa {

class DiagnosticText;
class ScreenPower;

class DisplayPower {
public:
    DisplayPower(ScreenPower& screen, DiagnosticText& log,
                 std::filesystem::path powerSupplyDir = kPowerSupplyDir)
        : screen_(screen), log_(log), powerSupplyDir_(std::move(powerSupplyDir)) {}

    // "Display Off"/"Display On"; true when the desktop switched the screen.
    bool DisplayOnOff(bool off);
    // Reads the power status; `onAcPower` follows it. A machine without a battery runs on
    // external power.
    PowerStatus queryPower();
    bool onAcPower() const { return onAcPower_.load(); }
    // Hold: the screen stays lit until every hold is released. Release of the last hold, or
    // `resetBacklight`, lets the desktop blank it again.
    void holdBacklight(bool hold);
    void resetBacklight();
    bool backlightHeld() const;

private:
    ScreenPower& screen_;
    DiagnosticText& log_;
    std::filesystem::path powerSupplyDir_;
    std::atomic<bool> onAcPower_{false};
    mutable std::mutex mutex_;
    int holds_ = 0;
    bool inhibited_ = false;
};

}  // namespace vexa
