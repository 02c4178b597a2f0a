#include "platform/linux/serial_devices.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <map>

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

namespace {

// The USB product of a tty: the "product" file of the nearest USB device above it in sysfs
// (ttyACM sits one level below it, ttyUSB two).
std::string usbProduct(const std::filesystem::path& sysTtyDir, const std::string& name) {
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::canonical(sysTtyDir / name / "device", ec);
    for (int level = 0; !ec && level < 4 && dir.has_relative_path(); ++level, dir = dir.parent_path()) {
        std::ifstream in(dir / "product");
        std::string product;
        if (in && std::getline(in, product) && !product.empty()) return product;
    }
    return {};
}

}  // namespace

std::vector<SerialReceiver> listSerialReceivers(const std::filesystem::path& devDir,
                                                const std::filesystem::path& sysTtyDir) {
    // The stable names udev keeps for each device, by the device they point to.
    std::map<std::string, std::string> stableName;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(devDir / "serial" / "by-id", ec)) {
        std::error_code linkError;
        const auto target = std::filesystem::canonical(entry.path(), linkError);
        if (!linkError) stableName.emplace(target.filename().string(), entry.path().string());
    }
    std::vector<SerialReceiver> result;
    for (const std::string& device : detectSerialDevices(devDir)) {
        SerialReceiver receiver;
        receiver.kernelName = std::filesystem::path(device).filename().string();
        const auto stable = stableName.find(receiver.kernelName);
        receiver.device = stable != stableName.end() ? stable->second : device;
        receiver.product = usbProduct(sysTtyDir, receiver.kernelName);
        result.push_back(std::move(receiver));
    }
    return result;
}

std::string receiverLabel(const SerialReceiver& receiver) {
    if (receiver.product.empty()) return receiver.device;
    return receiver.product + " (" + receiver.kernelName + ")";
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
