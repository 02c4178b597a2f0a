#include "frame/frame_state.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/nmea_fields.h"
#include "gps/satellite_parsers.h"
#include "gps/satellites.h"
#include "platform/ui.h"

namespace vexa {

namespace {

constexpr std::string_view kGsvDelimiters = ",*";

void emptyInView(SatelliteState& sats) {
    for (SatelliteEntry& e : sats.inView) {
        e.prnText.assign("00");
        e.prn = 0;
        e.snr = 0;
        e.used = 0;
    }
    sats.inViewCount = 0;
}

// Each used satellite takes its signal strength from the first in-view entry with its PRN,
// which in turn is marked used.
void mergeUsedMarks(SatelliteState& sats) {
    for (int u = 0; u <= sats.usedLast && u < kMaxSatellites; ++u) {
        SatelliteEntry& used = sats.used[static_cast<std::size_t>(u)];
        for (int v = 0; v < sats.inViewCount; ++v) {
            SatelliteEntry& seen = sats.inView[static_cast<std::size_t>(v)];
            if (seen.prn != used.prn) continue;
            used.snr = seen.snr;
            seen.used = used.used;
            break;
        }
    }
}

}  // namespace

int parseGSV(GpsInput& in, std::string_view sentence, bool refreshGps) {
    SatelliteState& sats = in.satellites;
    const std::size_t star = std::min(sentence.find('*'), sentence.size());

    FieldScanner scan(sentence);
    scan.next(kGsvDelimiters);  // tag
    const std::string_view total = scan.next(kGsvDelimiters);
    const std::string_view number = scan.next(kGsvDelimiters);
    sats.gsvTotal = parseInt(total);

    if (number == "1") {
        sats.gsvCycleStarted = true;
        emptyInView(sats);
    } else if (!sats.gsvCycleStarted) {
        return 0;
    }

    scan.next(kGsvDelimiters);  // satellites in view
    std::string_view field = scan.next(kGsvDelimiters);
    while (!field.empty() && scan.lastFieldStart() < star && field.size() <= 2) {
        SatelliteEntry* entry = nullptr;
        if (sats.inViewCount < kMaxSatellites) {
            entry = &sats.inView[static_cast<std::size_t>(sats.inViewCount++)];
            entry->prnText.assignLatin1(field);
            entry->prn = parseInt(field);
            entry->snr = 0;
            entry->used = 0;
        }
        scan.next(kGsvDelimiters);  // elevation
        scan.next(kGsvDelimiters);  // azimuth
        const std::size_t at = scan.position();
        const bool snrEmpty = at >= sentence.size() || sentence[at] == ',' || sentence[at] == '*' ||
                              at > star;
        field = scan.next(kGsvDelimiters);
        if (snrEmpty || scan.lastFieldStart() > star) continue;  // the field found is the next PRN
        if (field.size() > 2) break;
        if (entry) entry->snr = parseInt(field);
        field = scan.next(kGsvDelimiters);
    }

    const int slot = parseInt(number) - 1;
    if (slot >= 0 && slot < kGsvSlots) {
        if (sentence.size() > kGsvSlotChars)
            in.ui.messageBox("parseGSV inbuffer > MAXBUF", "");
        sats.gsvCycle[static_cast<std::size_t>(slot)].assign(sentence.substr(0, kGsvSlotChars));
    }

    if (total != number) return 0;
    mergeUsedMarks(sats);
    if (in.frame.displayMode.load() == DisplayMode::Gps && refreshGps) in.views.ShowGps();
    return 1;
}

}  // namespace vexa
