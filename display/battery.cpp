#include "display/battery.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace vexa {

namespace {

bool readNumber(const std::filesystem::path& file, long long& value) {
    std::ifstream in(file);
    return static_cast<bool>(in >> value);
}

std::string readWord(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string word;
    in >> word;
    return word;
}

// Capacity in percent, from "capacity" or from the charge or energy pair.
bool batteryPercent(const std::filesystem::path& supply, int& percent) {
    long long value = 0, now = 0, full = 0;
    if (readNumber(supply / "capacity", value)) {
        percent = static_cast<int>(std::clamp(value, 0LL, 100LL));
        return true;
    }
    for (const char* kind : {"charge", "energy"}) {
        if (readNumber(supply / (std::string(kind) + "_now"), now) &&
            readNumber(supply / (std::string(kind) + "_full"), full) && full > 0) {
            percent = static_cast<int>(std::clamp(now * 100 / full, 0LL, 100LL));
            return true;
        }
    }
    return false;
}

}  // namespace

PowerStatus readPowerStatus(const std::filesystem::path& folder) {
    PowerStatus status;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) return status;
    status.known = true;
    std::vector<std::filesystem::path> supplies;
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        supplies.push_back(it->path());
    }
    std::sort(supplies.begin(), supplies.end());
    for (const auto& supply : supplies) {
        const std::string type = readWord(supply / "type");
        long long online = 0;
        if ((type == "Mains" || type == "USB") && readNumber(supply / "online", online) && online == 1)
            status.onAcPower = true;
        int percent = 0;
        if (type == "Battery" && !status.hasBattery && batteryPercent(supply, percent)) {
            status.hasBattery = true;
            status.percent = percent;
        }
    }
    return status;
}

}  // namespace vexa
