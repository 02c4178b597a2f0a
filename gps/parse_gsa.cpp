#include "frame/settings.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/nmea_fields.h"
#include "gps/nmea_talker.h"
#include "gps/satellite_parsers.h"
#include "gps/satellites.h"
#include "platform/clock.h"

namespace vexa {

namespace {

constexpr int kFirstPrnField = 3;
constexpr int kPrnFields = 12;
constexpr int kSystemIdField = 18;  // NMEA 4.11

// The system whose used satellites this sentence lists: its system id, else its talker, else
// (a combined GN sentence of an older receiver) the numbering of its first satellite.
// 0 stands for all systems.
int gsaSystem(const NmeaFields& f) {
    if (!f[kSystemIdField].empty()) return parseInt(f[kSystemIdField]);
    const std::string_view tag = f[0];
    if (tag.size() >= 3) {
        const auto talker = static_cast<std::uint16_t>(static_cast<unsigned char>(tag[1]) << 8 |
                                                       static_cast<unsigned char>(tag[2]));
        if (const int system = systemOfTalker(talker)) return system;
    }
    for (int i = kFirstPrnField; i < kFirstPrnField + kPrnFields; ++i)
        if (!f[i].empty()) return systemOfPrn(parseInt(f[i]));
    return 0;
}

}  // namespace

void parseGSA(GpsInput& in, std::string_view sentence) {
    SatelliteState& sats = in.satellites;
    NmeaFields f;
    splitFields(sentence, f);
    sats.fixMode.assignLatin1(f[2]);
    const int system = gsaSystem(f);

    // Each sentence rebuilds the used satellites of its own system.
    int kept = 0;
    for (int i = 0; i <= sats.usedLast; ++i) {
        const SatelliteEntry& e = sats.used[static_cast<std::size_t>(i)];
        if (system != 0 && e.system != system) sats.used[static_cast<std::size_t>(kept++)] = e;
    }
    sats.usedLast = kept - 1;

    if (sats.fixMode.view() < std::string_view("2")) {
        if (in.gps.fixValid) in.gps.traceFirstFix = true;  // the next fix starts afresh
        in.gps.fixValid = false;
        in.gps.lastActivityTick.store(in.clock.tickCount());
        return;
    }
    in.gps.fixValid = true;

    // The twelve PRN fields have fixed places; the dilution fields behind them are not read.
    for (int i = kFirstPrnField; i < kFirstPrnField + kPrnFields && kept < kMaxSatellites; ++i) {
        if (f[i].empty()) continue;
        SatelliteEntry& e = sats.used[static_cast<std::size_t>(kept++)];
        e.prnText.assignLatin1(f[i]);
        e.prn = parseInt(f[i]);
        e.snr = 0;
        e.used = 1;
        e.system = system != 0 ? system : systemOfPrn(e.prn);
    }
    sats.usedLast = kept - 1;
}

}  // namespace vexa
