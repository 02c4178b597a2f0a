#include <algorithm>

#include "frame/settings.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/position_fix.h"
#include "gps/position_parsers.h"
#include "gps/position_sentences.h"
#include "gps/profiles.h"
#include "routes/trace_table.h"

namespace vexa {

namespace {
constexpr float kAltitudeCorrection = 47.0f;
}

[[gnu::hot]] double parseGGA(GpsInput& in, std::string_view sentence, bool refreshMap, bool refreshGps) {
    GpsState& gps = in.gps;
    const GgaSentence s = readGga(sentence);
    const float timeStep = s.secondWithFraction - gps.lastGgaSecond;
    gps.lastGgaSecond = s.secondWithFraction;

    // Fix quality 0 or none: no fix. Without satellites ("00") the time texts are rebuilt too.
    if (!s.fix) {
        badReception(in, sentence, s.tag, !gps.rmcSeen, s.noSatellites);
        gps.ggaPrevValid = false;
        return 0.0;
    }
    if (!beginFix(in, s, {})) return 0.0;
    in.last.elapsedText = gps.elapsedText;
    in.last.timeText = gps.fixTimeText;
    gps.satellitesUsedText.assignLatin1(s.satellitesUsed);

    float altitude = s.altitude;
    if (in.settings.iHKorrektur == 1) altitude -= kAltitudeCorrection;
    if (altitude < 0.0f) altitude = 0.0f;
    gps.altitude = altitude;
    pushProfile(gps.altitudeProfile, gps.altitudeProfileNext, gps.altitudeMax, altitude);

    const Position pos = fixPosition(in, s);
    const double d = stepFromPrevious(gps.ggaPrevLat, gps.ggaPrevLon, gps.ggaPrevValid, pos).value_or(0.0);
    // The point recorded next carries the satellite count.
    const int slot = std::clamp(in.trace.next, 0, kTraceSlots - 1);
    in.trace.points[static_cast<std::size_t>(slot)].satellitesText.assign(gps.satellitesUsedText);

    // A receiver that sends no RMC: GGA keeps the position, speed, course and trace.
    if (!gps.rmcSeen) {
        const float speed = timeStep > 0.0f ? static_cast<float>(d * 3.6 / timeStep) : 0.0f;
        applyFix(in, s, {pos, d, d, speed, std::nullopt, 2, gps.ggaDistanceSinceMark}, refreshMap);
    }
    refreshGpsView(in, refreshGps);
    gps.ggaPrevValid = true;
    return d;
}

}  // namespace vexa
