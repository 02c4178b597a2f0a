#include "display/display_power.h"

#include "util/diagnostic_text.h"
#include "platform/screen_power.h"

namespace vexa {

bool DisplayPower::DisplayOnOff(bool off) {
    AddNmeaListLine(log_, off ? "Display Off" : "Display On");
    if (screen_.setScreenOff(off)) return true;
    if (off) AddNmeaListLine(log_, "Your Pocket PC does not support DisplayOff");
    return false;
}

PowerStatus DisplayPower::queryPower() {
    PowerStatus status = readPowerStatus(powerSupplyDir_);
    if (status.known) onAcPower_ = status.onAcPower || !status.hasBattery;
    return status;
}

void DisplayPower::holdBacklight(bool hold) {
    if (!queryPower().known) AddNmeaListLine(log_, "Could not get power status");
    std::lock_guard lock(mutex_);
    if (hold) {
        if (holds_++ > 0) return;
        inhibited_ = screen_.inhibitIdle(true);
        if (inhibited_) AddNmeaListLine(log_, "Battery Backlight Timeout Disable");
        return;
    }
    if (holds_ == 0 || --holds_ > 0) return;
    if (inhibited_) {
        screen_.inhibitIdle(false);
        inhibited_ = false;
        AddNmeaListLine(log_, "Battery Backlight Timeout Reset");
    }
}

void DisplayPower::resetBacklight() {
    std::lock_guard lock(mutex_);
    holds_ = 0;
    if (!inhibited_) return;
    screen_.inhibitIdle(false);
    inhibited_ = false;
    AddNmeaListLine(log_, "Battery Backlight Timeout Reset");
}

bool DisplayPower::backlightHeld() const {
    std::lock_guard lock(mutex_);
    return holds_ > 0;
}

}  // namespace vexa
