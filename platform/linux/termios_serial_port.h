// SerialPort over a POSIX terminal device (termios): /dev/ttyUSB0, /dev/ttyACM0, /dev/rfcomm0,
// /dev/ttyS0 or the slave side of a pseudo-terminal.
//
// Reads poll the device for at most 60 ms (DescriptorPort), so an idle read returns promptly.
#pragma once

#include <array>

#include "platform/linux/descriptor_port.h"

namespace vexa {

class TermiosSerialPort : public DescriptorPort {
public:
    SerialError open(const std::string& device, int baud) override;
    SerialError write(std::string_view bytes) override;
    SerialError purge() override;

private:
    std::size_t takeReceived(char* into, std::size_t capacity) override;
    std::optional<ReadResult> readReady(short revents) override;

    // What one read() gave and was not yet handed out; only the reading thread touches it
    // while open.
    std::array<char, 256> buffer_{};
    std::size_t begin_ = 0, end_ = 0;
};

// The termios speed constant for a baud rate, or 0 when the rate is not supported.
unsigned termiosSpeed(int baud);

}  // namespace vexa
