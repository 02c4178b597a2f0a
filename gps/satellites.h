// The satellite picture: the satellites used for the fix (GSA), those in view (GSV) with the
// used mark merged in, and the raw GSV sentences of the current cycle for the NMEA log.
#pragma once

#include <array>
#include <string>

#include "gps/fixed_text.h"

namespace vexa {

inline constexpr int kMaxSatellites = 12;
inline constexpr int kGsvSlots = 3;
inline constexpr std::size_t kGsvSlotChars = 1023;  // a slot holds 1024 characters with terminator

struct SatelliteEntry {
    FixedText<5> prnText;
    int prn = 0;
    int snr = 0;      // dB, 0 when the receiver leaves it empty
    int used = 0;     // 0 or 1
};

struct SatelliteState {
    std::array<SatelliteEntry, kMaxSatellites> used{};    // from GSA
    int usedLast = -1;                                    // index of the last filled entry
    std::array<SatelliteEntry, kMaxSatellites> inView{};  // from GSV
    int inViewCount = 0;
    FixedText<31> fixMode;                                // "1", "2" or "3" as received

    // The GSV cycle: slot k holds message k + 1, as received (Latin-1 bytes).
    std::array<std::string, kGsvSlots> gsvCycle;
    int gsvTotal = 0;
    bool gsvCycleStarted = false;

    SatelliteState() {
        for (auto& slot : gsvCycle) slot.reserve(kGsvSlotChars);
    }
};

}  // namespace vexa
