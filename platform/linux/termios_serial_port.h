// SerialPort over a POSIX terminal device (termios): /dev/ttyUSB0, /dev/ttyACM0, /dev/rfcomm0,
// /dev/ttyS0 or the slave side of a pseudo-terminal.
//
// Reads poll the device for at most 60 ms, so an idle read returns promptly. A read holds a
// shared lock for that time and close() an exclusive one: close() waits for a running read to
// return instead of pulling the descriptor from under it (which could let the read see a
// reused descriptor number).
#pragma once

#include <shared_mutex>

#include "platform/serial_port.h"

namespace vexa {

class TermiosSerialPort : public SerialPort {
public:
    static constexpr int kReadTimeoutMs = 60;

    ~TermiosSerialPort() override;

    SerialError open(const std::string& device, int baud) override;
    SerialError close() override;
    bool isOpen() const override;
    ReadResult readByte() override;
    SerialError write(std::string_view bytes) override;
    SerialError purge() override;

private:
    mutable std::shared_mutex mutex_;
    int fd_ = -1;
};

// Closes the descriptor and marks it closed (-1); the caller holds the exclusive lock. The
// descriptor is released even when close() reports an error (Linux semantics).
SerialError releaseDescriptor(int& fd);

// The termios speed constant for a baud rate, or 0 when the rate is not supported.
unsigned termiosSpeed(int baud);

}  // namespace vexa
