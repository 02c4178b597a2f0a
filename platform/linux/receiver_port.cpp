#include "platform/linux/receiver_port.h"

#include <cerrno>

namespace vexa {

SerialPort& ReceiverPort::active() { return gpsd_.isOpen() ? static_cast<SerialPort&>(gpsd_) : terminal_; }

SerialError ReceiverPort::open(const std::string& device, int baud) {
    if (isOpen()) return {EBUSY, "CreateFile"};
    if (parseGpsdAddress(device)) return gpsd_.open(device, baud);
    return terminal_.open(device, baud);
}

SerialError ReceiverPort::close() { return active().close(); }
bool ReceiverPort::isOpen() const { return terminal_.isOpen() || gpsd_.isOpen(); }
ReadResult ReceiverPort::readByte() { return active().readByte(); }
ReadResult ReceiverPort::readBytes(char* into, std::size_t capacity, std::size_t& count) {
    return active().readBytes(into, capacity, count);
}
SerialError ReceiverPort::write(std::string_view bytes) { return active().write(bytes); }
SerialError ReceiverPort::purge() { return active().purge(); }

}  // namespace vexa
