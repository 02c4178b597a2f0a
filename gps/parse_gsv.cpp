#include <algorithm>

#include "frame/frame_state.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/nmea_fields.h"
#include "gps/nmea_talker.h"
#include "gps/satellite_parsers.h"
#include "gps/satellites.h"

namespace vexa {

namespace {

constexpr int kFirstGroupField = 4;  // tag, total, number, satellites in view

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

int parseGSV(GpsInput& in, std::string_view sentence, bool refreshGps) {
    SatelliteState& sats = in.satellites;
    NmeaFields f;
    splitFields(sentence, f);
    const std::string_view tag = f[0];
    const std::string_view total = f[1];
    const std::string_view number = f[2];
    const std::uint16_t talker =
        tag.size() >= 3 ? static_cast<std::uint16_t>(static_cast<unsigned char>(tag[1]) << 8 |
                                                     static_cast<unsigned char>(tag[2]))
                        : 0;
    // Groups of four fields; one field left over is the signal id of NMEA 4.10.
    const int groupFields = std::max(0, f.count - kFirstGroupField);
    const int groups = groupFields / 4;
    const int signal = groupFields % 4 == 1 ? parseInt(f[f.count - 1]) & 0xff : 0;
    const std::uint32_t key = static_cast<std::uint32_t>(talker) << 8 | static_cast<std::uint32_t>(signal);

    GsvCycleState& cycle = cycleOf(sats, key);
    const int messageNumber = parseInt(number);
    if (messageNumber == 1) {
        cycle.started = true;
        dropCycle(sats, key);
        sats.gsvKey = key;
        sats.gsvCycleStarted = true;
        sats.gsvTotal = parseInt(total);
    } else if (!cycle.started) {
        return 0;
    }

    const int talkerSystem = systemOfTalker(talker);
    for (int g = 0; g < groups && sats.inViewCount < kMaxSatellites; ++g) {
        const int at = kFirstGroupField + 4 * g;
        const std::string_view prn = f[at];
        if (prn.empty()) continue;
        const std::string_view snr = f[at + 3];
        SatelliteEntry& e = sats.inView[static_cast<std::size_t>(sats.inViewCount++)];
        e.prnText.assignLatin1(prn);
        e.prn = parseInt(prn);
        e.used = 0;
        e.system = talkerSystem != 0 ? talkerSystem : systemOfPrn(e.prn);
        e.cycle = key;
        // A signal strength of more than two digits is no SNR: the rest of the sentence is not read.
        e.snr = snr.size() <= 2 ? parseInt(snr) : 0;
        if (snr.size() > 2) break;
    }

    const int slot = messageNumber - 1;
    if (key == sats.gsvKey && slot >= 0 && slot < kGsvSlots) {
        // Shown once the state mutex is released (a message box would stall the GPS thread).
        if (sentence.size() > kGsvSlotChars) sats.overlongGsv = true;
        sats.gsvCycle[static_cast<std::size_t>(slot)].assign(sentence.substr(0, kGsvSlotChars));
    }

    if (total != number) return 0;
    if (key != sats.gsvKey) sats.gsvCycleStarted = false;  // its messages were not all kept
    cycle.started = false;
    mergeUsedMarks(sats);
    if (in.frame.displayMode.load() == DisplayMode::Gps && refreshGps) in.views.ShowGps();
    return 1;
}

}  // namespace vexa
