// The two fixed sequences that dispatch one sentence: live (reader thread, after the checksum
// passed) and replay (replay thread, every line of the file). Both take the state mutex for
// the line.
#pragma once

#include <cstdint>
#include <string_view>

namespace vexa {

struct GpsInput;

// The per-type log state: seconds since each type was last logged, and the GGA that
// follows a logged RMC.
struct LogTimers {
    float gsa = 0.0f;
    float gsv = 0.0f;
    float rmc = 0.0f;
    float gga = 0.0f;
    bool forceGga = false;
};

// What the reader thread keeps between sentences.
struct LiveSequenceState {
    LogTimers timers;
    std::uint32_t lastTick = 0;
    bool previousFix = false;
};

// Resets the GPS state for a new reception or replay run: the seen flags of GSA and GSV,
// the segment start, and both distance marks above the minimum distance so the first fix
// counts as moved.
void resetForRun(GpsInput& in);

// Live: time step, GSA, GSV, fix-change beep, RMC, GGA, "RMC/GGA aktivieren". Called with
// the state mutex held.
void ProcessLiveSentence(GpsInput& in, LiveSequenceState& state, std::string_view line);
// Replay: checksum for its message only, RMC, GGA, GSA, GSV, the line into the NMEA list.
// Takes the state mutex itself.
void ProcessReplaySentence(GpsInput& in, LogTimers& timers, std::string_view line);

// The line as the NMEA list shows it: bytes widened to characters.
void AddReceivedLine(GpsInput& in, std::string_view bytes);

}  // namespace vexa
