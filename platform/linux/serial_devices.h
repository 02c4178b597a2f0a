// Which device a port name means. "COM1:" to "COM8:" map to the device configured for that
// port, else to the n-th serial device found; any other name is taken as a device path.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Serial devices in /dev (or the given folder): USB adapters (ttyUSB*), USB modems and
// receivers (ttyACM*), Bluetooth (rfcomm*), then on-board ports (ttyS*), each group in
// numeric order.
std::vector<std::string> detectSerialDevices(const std::filesystem::path& devDir = "/dev");

// A serial receiver as the user picks it: its stable name where udev gives one
// (/dev/serial/by-id/…, which stays the same when it is plugged into another socket), else the
// kernel's name, and the USB product name when the device is on USB.
struct SerialReceiver {
    std::string device;   // the path to open
    std::string kernelName;  // ttyUSB0, ttyACM0, …
    std::string product;  // e.g. "u-blox 7 - GPS/GNSS Receiver"; empty when not known
};

// The devices of detectSerialDevices, in its order, each with its stable name and product.
std::vector<SerialReceiver> listSerialReceivers(const std::filesystem::path& devDir = "/dev",
                                                const std::filesystem::path& sysTtyDir = "/sys/class/tty");

// "product (ttyACM0)" or the device path: how a receiver is shown in menus and lists.
std::string receiverLabel(const SerialReceiver& receiver);

// The COM number 1..8 of "COM3:" (or "COM3"), 0 for anything else.
int comPortNumber(std::string_view portName);

// The device for a port name: the configured device when one is set, the n-th detected device
// for "COMn:", the name itself otherwise; empty when "COMn:" has neither.
std::string portDevice(std::string_view portName, const std::string& configuredDevice,
                       const std::vector<std::string>& detected);

}  // namespace vexa
