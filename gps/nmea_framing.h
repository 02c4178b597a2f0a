// The reader thread's framing: received bytes into lines of at most 1023 characters, each
// completed line checked and handed to the live sentence processing.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "gps/sentence_processing.h"

namespace vexa {

class SerialPort;
struct GpsInput;

inline constexpr std::size_t kLineBufferChars = 1024;          // with the terminator
inline constexpr std::size_t kMaxLineChars = kLineBufferChars - 1;

// Lines completed while another thread held the state mutex (the window drawing a frame),
// oldest first. The strings keep their buffers, so waiting lines cost no allocation.
struct LineBacklog {
    static constexpr std::size_t kLines = 64;
    std::array<std::string, kLines> lines;
    std::size_t first = 0;
    std::size_t count = 0;
};

struct ReaderState {
    std::array<char, kLineBufferChars> line{};
    std::size_t length = 0;
    LiveSequenceState sequence;
    LineBacklog backlog;
};

// The start of a reader thread run: flags, distance marks, log timers, line buffer, tick.
void StartReception(GpsInput& in, ReaderState& reader);

// Received bytes, as one read gives them. A line feed or carriage return completes the line
// (a CR LF pair's empty line is processed with it, under the same lock); a character beyond
// 1023 discards the line and purges the port (`port` may be null when there is none).
// The reader never waits for a frame: a line completed while another thread holds the state
// mutex waits in the backlog and is processed, in order, before the next line; only a full
// backlog waits for the mutex.
void AppendBytes(GpsInput& in, ReaderState& reader, SerialPort* port, std::string_view bytes);

// Processes the waiting lines when the state mutex is free, or (`wait`) once it is: while the
// port is quiet, and at the end of a run.
void ProcessBacklog(GpsInput& in, ReaderState& reader, bool wait);

}  // namespace vexa
