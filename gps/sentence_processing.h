// The two fixed sequences that dispatch one sentence: live (reader thread, after the checksum
// passed) and replay (replay thread, every line of the file). Both take the state mutex for
// the line.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vexa {

struct GpsInput;

// Seconds since a satellite sentence of one system (GSA) or one talker (GSV) was last
// logged: the interval applies to each of them, so every system's satellites reach the log.
struct KeyedLogTimers {
    static constexpr int kKeys = 16;
    std::array<std::uint32_t, kKeys> keys{};
    std::array<float, kKeys> seconds{};
    int count = 0;
    float sinceStart = 0.0f;  // a key seen for the first time has waited since the start

    float& of(std::uint32_t key);
    void advance(float dt);
};

// The per-type log state: seconds since each type was last logged, and the GGA that
// follows a logged RMC.
struct LogTimers {
    KeyedLogTimers gsa;
    KeyedLogTimers gsv;
    float rmc = 0.0f;
    float gga = 0.0f;
    bool forceGga = false;
};

// What the reader thread keeps between sentences.
struct LiveSequenceState {
    LogTimers timers;
    std::uint32_t lastTick = 0;
    bool previousFix = false;
    bool checksumsSeen = false;  // the receiver sends checksums: a line without one is damaged
};

// Resets the GPS state for a new reception or replay run: the seen flags of GSA and GSV,
// the segment start, the fix and the previous fixes (no leg joins two runs), and both
// distance marks above the minimum distance so the first fix counts as moved.
void resetForRun(GpsInput& in);

// Live: time step, GSA, GSV, fix-change beep, RMC, GGA, "RMC/GGA aktivieren", for a
// sentence of any talker (see sentenceIn). Called with the state mutex held.
void ProcessLiveSentence(GpsInput& in, LiveSequenceState& state, std::string_view sentence);
// Replay: checksum for its message only, RMC, GGA, GSA, GSV, the line into the NMEA list.
// Takes the state mutex itself.
void ProcessReplaySentence(GpsInput& in, LogTimers& timers, std::string_view line);
// Message boxes the parsers asked for while they held the state mutex, shown now that it is
// released (a box must never stall the GPS thread with the lock held). Takes the mutex briefly.
void ShowDeferredMessages(GpsInput& in);

}  // namespace vexa
