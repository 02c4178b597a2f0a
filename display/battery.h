// The power status as the battery gauge sees it, read from the kernel's power-supply folder.
#pragma once

#include <filesystem>

namespace vexa {

inline constexpr const char* kPowerSupplyDir = "/sys/class/power_supply";

struct PowerStatus {
    bool known = false;       // the folder could be read
    bool hasBattery = false;
    bool onAcPower = false;   // a mains or USB supply is online
    int percent = 0;          // 0..100, the first battery's capacity
};

// Reads every supply in `folder`: "type" Mains/USB with "online" 1 means external power;
// "type" Battery gives "capacity" (or charge_now/charge_full, energy_now/energy_full).
PowerStatus readPowerStatus(const std::filesystem::path& folder = kPowerSupplyDir);

}  // namespace vexa
