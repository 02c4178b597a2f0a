#include "platform/linux/serial_devices.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace vexa {

namespace {

// The number after the prefix, or −1 when the rest is not a number.
long deviceNumber(std::string_view name, std::string_view prefix) {
    if (name.substr(0, prefix.size()) != prefix || name.size() == prefix.size()) return -1;
    long number = 0;
    const auto rest = name.substr(prefix.size());
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    return (ec == std::errc() && end == rest.data() + rest.size()) ? number : -1;
}

}  // namespace

std::vector<std::string> detectSerialDevices(const std::filesystem::path& devDir) {
    constexpr std::array<std::string_view, 4> kPrefixes = {"ttyUSB", "ttyACM", "rfcomm", "ttyS"};
    std::vector<std::string> result;
    std::error_code ec;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(devDir, ec))
        names.push_back(entry.path().filename().string());
    for (const std::string_view prefix : kPrefixes) {
        std::vector<std::pair<long, std::string>> group;
        for (const auto& name : names)
            if (const long n = deviceNumber(name, prefix); n >= 0) group.emplace_back(n, name);
        std::sort(group.begin(), group.end());
        for (const auto& [n, name] : group) result.push_back((devDir / name).string());
    }
    return result;
}

int comPortNumber(std::string_view portName) {
    if (portName.size() < 4 || portName.substr(0, 3) != "COM") return 0;
    std::string_view digits = portName.substr(3);
    if (!digits.empty() && digits.back() == ':') digits.remove_suffix(1);
    if (digits.size() != 1 || digits[0] < '1' || digits[0] > '8') return 0;
    return digits[0] - '0';
}

std::string portDevice(std::string_view portName, const std::string& configuredDevice,
                       const std::vector<std::string>& detected) {
    if (!configuredDevice.empty()) return configuredDevice;
    const int n = comPortNumber(portName);
    if (n == 0) return std::string(portName);
    if (static_cast<std::size_t>(n) <= detected.size()) return detected[static_cast<std::size_t>(n - 1)];
    return {};
}

}  // namespace vexa
