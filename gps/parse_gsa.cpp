#include "frame/settings.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/nmea_fields.h"
#include "gps/satellite_parsers.h"
#include "gps/satellites.h"
#include "platform/clock.h"

namespace vexa {

void parseGSA(GpsInput& in, std::string_view sentence) {
    SatelliteState& sats = in.satellites;
    const std::size_t star = std::min(sentence.find('*'), sentence.size());

    FieldScanner scan(sentence);
    scan.next();  // tag
    scan.next();  // selection mode
    sats.fixMode.assignLatin1(scan.next());

    for (SatelliteEntry& e : sats.used) e.used = 0;
    in.gps.fixValid = false;
    if (sats.fixMode.view() < std::string_view("2")) {
        in.gps.lastActivityTick.store(in.clock.tickCount());
        sats.usedLast = -1;
        return;
    }
    in.gps.fixValid = true;

    // The twelve PRN fields have fixed places: empty fields between two PRNs count too.
    int place = 0;
    int stored = 0;
    std::size_t previousEnd = scan.position();
    for (;;) {
        const std::string_view field = scan.next(",*");
        const std::size_t start = scan.lastFieldStart();
        if (field.empty() || start > star) break;
        // Each comma beyond the first between two fields is one empty field.
        for (std::size_t i = previousEnd; i < start; ++i)
            if (sentence[i] == ',') ++place;
        if (place > kMaxSatellites - 1) break;
        SatelliteEntry& e = sats.used[static_cast<std::size_t>(stored++)];
        e.prnText.assignLatin1(field);
        e.prn = parseInt(field);
        e.used = 1;
        ++place;
        previousEnd = scan.position();
    }
    sats.usedLast = stored - 1;
}

}  // namespace vexa
