// The reader thread's framing: received bytes into lines of at most 1023 characters, each
// completed line checked and handed to the live sentence processing.
#pragma once

#include <array>
#include <cstddef>

#include "gps/sentence_processing.h"

namespace vexa {

class SerialPort;
struct GpsInput;

inline constexpr std::size_t kLineBufferChars = 1024;          // with the terminator
inline constexpr std::size_t kMaxLineChars = kLineBufferChars - 1;

struct ReaderState {
    std::array<char, kLineBufferChars> line{};
    std::size_t length = 0;
    LiveSequenceState sequence;
};

// The start of a reader thread run: flags, distance marks, log timers, line buffer, tick.
void StartReception(GpsInput& in, ReaderState& reader);

// A line end or a byte that overflows the line: completes or discards the line.
void AppendSpecialByte(GpsInput& in, ReaderState& reader, SerialPort* port, unsigned char byte);

// One received byte. A line feed or carriage return completes the line; a character beyond
// 1023 discards the line and purges the port (`port` may be null when there is none).
inline void AppendByte(GpsInput& in, ReaderState& reader, SerialPort* port, unsigned char byte) {
    // One comparison decides for every printable byte.
    if ((byte > '\r' || (byte != '\n' && byte != '\r')) && reader.length < kMaxLineChars) {
        reader.line[reader.length++] = static_cast<char>(byte);
        return;
    }
    AppendSpecialByte(in, reader, port, byte);
}

}  // namespace vexa
