#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/satellite_parsers.h"
#include "gps/satellite_sentences.h"
#include "gps/satellites.h"
#include "platform/clock.h"

namespace vexa {

[[gnu::hot]] void parseGSA(GpsInput& in, std::string_view sentence) {
    const GsaSentence s = readGsa(sentence);
    SatelliteState& sats = in.satellites;
    sats.fixMode.assignLatin1(s.fixMode);

    // Each sentence rebuilds the used satellites of its own system.
    int kept = 0;
    for (int i = 0; i <= sats.usedLast; ++i) {
        const SatelliteEntry& e = sats.used[static_cast<std::size_t>(i)];
        if (s.system != 0 && e.system != s.system) sats.used[static_cast<std::size_t>(kept++)] = e;
    }
    sats.usedLast = kept - 1;

    if (sats.fixMode.view() < std::string_view("2")) {
        if (in.gps.fixValid) in.gps.traceFirstFix = true;  // the next fix starts afresh
        in.gps.fixValid = false;
        in.gps.lastActivityTick.store(in.clock.tickCount());
        return;
    }
    in.gps.fixValid = true;
    for (int i = 0; i < s.count && kept < kMaxSatellites; ++i) {
        const SentenceSatellite& sat = s.satellites[static_cast<std::size_t>(i)];
        SatelliteEntry& e = sats.used[static_cast<std::size_t>(kept++)];
        e.prnText.assignLatin1(sat.prnText);
        e.prn = sat.prn;
        e.snr = 0;
        e.used = 1;
        e.system = sat.system;
    }
    sats.usedLast = kept - 1;
}

}  // namespace vexa
