#include <algorithm>

#include "frame/frame_state.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/satellite_parsers.h"
#include "gps/satellite_sentences.h"
#include "gps/satellites.h"

namespace vexa {

namespace {

// The cycle of a talker, and of a signal when the receiver reports several (NMEA 4.10).
GsvCycleState& cycleOf(SatelliteState& sats, std::uint32_t key) {
    for (int i = 0; i < sats.cycleCount; ++i)
        if (sats.cycles[static_cast<std::size_t>(i)].key == key) return sats.cycles[static_cast<std::size_t>(i)];
    const int slot = sats.cycleCount < kGsvCycleKeys ? sats.cycleCount++ : kGsvCycleKeys - 1;
    sats.cycles[static_cast<std::size_t>(slot)] = {key, false};
    return sats.cycles[static_cast<std::size_t>(slot)];
}

// A new cycle replaces what the same talker reported before; other talkers' satellites stay.
void dropCycle(SatelliteState& sats, std::uint32_t key) {
    int kept = 0;
    for (int i = 0; i < sats.inViewCount; ++i) {
        const SatelliteEntry& e = sats.inView[static_cast<std::size_t>(i)];
        if (e.cycle != key) sats.inView[static_cast<std::size_t>(kept++)] = e;
    }
    sats.inViewCount = kept;
}

// The used satellites of a system take their signal strength from the in-view entry with
// their number (the strongest when several signals are reported), which is marked used.
void mergeUsedMarks(SatelliteState& sats) {
    for (int v = 0; v < sats.inViewCount; ++v) sats.inView[static_cast<std::size_t>(v)].used = 0;
    for (int u = 0; u <= sats.usedLast; ++u) {
        SatelliteEntry& used = sats.used[static_cast<std::size_t>(u)];
        int best = 0;
        for (int v = 0; v < sats.inViewCount; ++v) {
            SatelliteEntry& seen = sats.inView[static_cast<std::size_t>(v)];
            if (seen.prn != used.prn || seen.system != used.system) continue;
            best = std::max(best, seen.snr);
            seen.used = used.used;
        }
        used.snr = best;
    }
}

}  // namespace

void clearGsvCycles(SatelliteState& sats) {
    for (GsvCycleState& c : sats.cycles) c.started = false;
    sats.gsvCycleStarted = false;
}

[[gnu::hot]] int parseGSV(GpsInput& in, std::string_view sentence, bool refreshGps) {
    const GsvSentence s = readGsv(sentence);
    SatelliteState& sats = in.satellites;
    const std::uint32_t key = s.cycle;
    GsvCycleState& cycle = cycleOf(sats, key);
    if (s.messageNumber == 1) {
        cycle.started = true;
        dropCycle(sats, key);
        sats.gsvKey = key;
        sats.gsvCycleStarted = true;
        sats.gsvTotal = s.totalMessages;
    } else if (!cycle.started) {
        return 0;
    }

    for (int i = 0; i < s.count && sats.inViewCount < kMaxSatellites; ++i) {
        const SentenceSatellite& sat = s.satellites[static_cast<std::size_t>(i)];
        SatelliteEntry& e = sats.inView[static_cast<std::size_t>(sats.inViewCount++)];
        e.prnText.assignLatin1(sat.prnText);
        e.prn = sat.prn;
        e.used = 0;
        e.system = sat.system;
        e.cycle = key;
        e.snr = sat.snr;
    }

    const int slot = s.messageNumber - 1;
    if (key == sats.gsvKey && slot >= 0 && slot < kGsvSlots) {
        // Shown once the state mutex is released (a message box would stall the GPS thread).
        if (sentence.size() > kGsvSlotChars) sats.overlongGsv = true;
        sats.gsvCycle[static_cast<std::size_t>(slot)].assign(sentence.substr(0, kGsvSlotChars));
    }

    if (!s.completesCycle()) return 0;
    if (key != sats.gsvKey) sats.gsvCycleStarted = false;  // its messages were not all kept
    cycle.started = false;
    mergeUsedMarks(sats);
    if (in.frame.displayMode.load() == DisplayMode::Gps && refreshGps) in.views.ShowGps();
    return 1;
}

}  // namespace vexa
