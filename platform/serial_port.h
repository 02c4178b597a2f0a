// One serial device: a GPS receiver at 4800 baud, a Garmin at 9600, or a pseudo-terminal.
//
// Every call may come from a different thread: the reader thread blocks in readByte() while the
// UI thread closes the port. A read returns within about 60 ms when no byte comes, so a reader
// notices a closed port promptly. Failures return the system error number (errno) and the name
// of the step that failed, for the error report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

struct SerialError {
    int error = 0;                // 0 = success, else errno
    std::string_view function;    // the failing step, e.g. "CreateFile", "SetCommState"
    explicit operator bool() const { return error != 0; }
};

enum class ReadStatus {
    Byte,     // one byte arrived
    Idle,     // nothing arrived within the read time-out (about 60 ms)
    Closed,   // no port is open, or it was closed during the read
    Error,    // the device failed (e.g. the cable was pulled); `error` holds errno
};

struct ReadResult {
    ReadStatus status = ReadStatus::Idle;
    std::uint8_t byte = 0;
    int error = 0;
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the device and configures it: the baud rate, 8 data bits, no parity, one stop bit,
    // raw mode, the read time-outs, and purges both queues.
    virtual SerialError open(const std::string& device, int baud) = 0;
    virtual SerialError close() = 0;
    virtual bool isOpen() const = 0;
    virtual ReadResult readByte() = 0;
    // Up to `capacity` bytes into `into`: what was received before, else what arrives within
    // the read time-out. `count` is how many (at least one with the status Byte, whose `byte`
    // is the first). A port that reads byte by byte gives one.
    virtual ReadResult readBytes(char* into, std::size_t capacity, std::size_t& count) {
        const ReadResult read = readByte();
        count = read.status == ReadStatus::Byte && capacity > 0 ? 1 : 0;
        if (count) into[0] = static_cast<char>(read.byte);
        return read;
    }
    // Writes all bytes or fails.
    virtual SerialError write(std::string_view bytes) = 0;
    // Discards what is queued in both directions.
    virtual SerialError purge() = 0;
};

}  // namespace vexa
