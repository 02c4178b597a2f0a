// The satellite picture of every system: the satellites used for the fix (GSA, one sentence
// per system), those in view (GSV, one cycle per talker, merged) with the used mark merged
// in, and the raw GSV sentences of the current cycle for the NMEA log.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "util/fixed_text.h"

namespace vexa {

inline constexpr int kMaxSatellites = 96;   // all systems together
inline constexpr int kGsvSlots = 9;         // a cycle has at most 9 messages
inline constexpr std::size_t kGsvSlotChars = 1023;  // a slot holds 1024 characters with terminator
inline constexpr int kGsvCycleKeys = 16;    // talkers (and signals) with a cycle of their own

struct SatelliteEntry {
    FixedText<5> prnText;
    int prn = 0;
    int snr = 0;      // dB, 0 when the receiver leaves it empty
    int used = 0;     // 0 or 1
    int system = 0;   // 1 GPS … 6 NavIC (see systemOfTalker)
    std::uint32_t cycle = 0;  // the GSV cycle (talker and signal) that reported it
};

// Where each talker's GSV cycle stands.
struct GsvCycleState {
    std::uint32_t key = 0;
    bool started = false;
};

struct SatelliteState {
    // The counts and the cycle's bookkeeping first, together: every satellite sentence reads
    // them, while of the lists only their first entries are in use.
    int usedLast = -1;                                    // index of the last filled entry
    int inViewCount = 0;
    int cycleCount = 0;
    std::uint32_t gsvKey = 0;
    int gsvTotal = 0;
    bool gsvCycleStarted = false;
    bool overlongGsv = false;  // "parseGSV inbuffer > MAXBUF" is due once the state is unlocked
    FixedText<31> fixMode;                                // "1", "2" or "3" as received
    std::array<GsvCycleState, kGsvCycleKeys> cycles{};

    // The GSV cycle being logged: slot k holds message k + 1 of the cycle `gsvKey`, as
    // received (Latin-1 bytes).
    std::array<std::string, kGsvSlots> gsvCycle;

    std::array<SatelliteEntry, kMaxSatellites> used{};    // from GSA
    std::array<SatelliteEntry, kMaxSatellites> inView{};  // from GSV

    SatelliteState() {
        for (auto& slot : gsvCycle) slot.reserve(96);
    }
};

}  // namespace vexa
