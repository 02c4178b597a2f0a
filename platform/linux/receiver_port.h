// The port the GPS commands open: a gpsd connection for "gpsd" and "gpsd://HOST:PORT", a
// terminal device (serial, USB, Bluetooth, pseudo-terminal) for every other name. Each call
// goes to whichever of the two is open, so the reader thread need not know which it reads.
#pragma once

#include "platform/linux/gpsd_port.h"
#include "platform/linux/termios_serial_port.h"

namespace vexa {

class ReceiverPort : public SerialPort {
public:
    SerialError open(const std::string& device, int baud) override;
    SerialError close() override;
    bool isOpen() const override;
    ReadResult readByte() override;
    ReadResult readBytes(char* into, std::size_t capacity, std::size_t& count) override;
    SerialError write(std::string_view bytes) override;
    SerialError purge() override;

private:
    SerialPort& active();

    TermiosSerialPort terminal_;
    GpsdPort gpsd_;
};

}  // namespace vexa
