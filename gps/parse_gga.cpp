#include <cmath>

#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/datum.h"
#include "geo/distance.h"
#include "geo/grid.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/nmea_fields.h"
#include "gps/position_fix.h"
#include "gps/position_parsers.h"
#include "gps/time_setting.h"
#include "platform/ui.h"
#include "geo/datum_code.h"
#include "routes/trace_table.h"

namespace vexa {

namespace {

constexpr float kAltitudeCorrection = 47.0f;

// Seconds of the day with the fraction: hhmmss.sss.
float secondsWithFraction(std::string_view time) {
    const float whole = static_cast<float>(secondOfDay(time.substr(0, 4)));
    return whole + (time.size() > 4 ? parseFloat(time.substr(4)) : 0.0f);
}

// Course from the grid step since the newest trace point: atan(dE/dN) in degrees, turned
// into 0..360. A step with no change in northing is due east (90) or due west (270); with no
// movement at all there is no direction and the course stays as it was.
void courseFromGridStep(GpsState& gps, const TracePoint* previous, GridPoint grid) {
    if (!previous) return;
    const double dE = grid.easting - previous->gridX;
    const double dN = grid.northing - previous->gridY;
    double course;
    if (dN == 0.0) {
        if (dE == 0.0) return;
        course = dE > 0.0 ? 90.0 : 270.0;
    } else {
        course = std::atan(dE / dN) * kRadToDeg;
        if (dN < 0.0) course += 180.0;
        if (course < 0.0) course += 360.0;
    }
    gps.course = static_cast<float>(course);
}

}  // namespace

double parseGGA(GpsInput& in, std::string_view sentence, bool refreshMap, bool refreshGps) {
    GpsState& gps = in.gps;
    NmeaFields f;
    splitFields(sentence, f);
    const std::string_view tag = f[0];
    FieldBuffer time(f[1]);
    const std::string_view latField = f[2], ns = f[3], lonField = f[4], ew = f[5];
    const std::string_view quality = f[6];

    const float second = secondsWithFraction(time.view());
    const float timeStep = second - gps.lastGgaSecond;
    gps.lastGgaSecond = second;

    // Fix quality 0 or none: no fix. Without satellites ("00") the time texts are rebuilt too.
    if (quality.empty() || quality[0] == '0') {
        badReception(in, sentence, tag, !gps.rmcSeen, f[7] == "00");
        gps.ggaPrevValid = false;
        return 0.0;
    }
    if (!plausibleFix(time.view(), latField, lonField)) {
        in.ui.setWindowTitle(kBadReceptionTitle);
        return 0.0;
    }
    updateElapsed(gps, secondOfDay(time.view()));
    in.last.elapsedText = gps.elapsedText;

    gps.fixValid = true;
    TimeSetting(in, time.span(), {});
    setTimeText(gps.fixTimeText, time.view());
    in.last.timeText = gps.fixTimeText;
    gps.satellitesUsedText.assignLatin1(f[7]);

    if (!in.frame.replaying.load()) setGpsOnTitle(in);

    float altitude = parseFloat(f[9]);
    if (in.settings.iHKorrektur == 1) altitude -= kAltitudeCorrection;
    if (altitude < 0.0f) altitude = 0.0f;
    gps.altitude = altitude;
    pushProfile(gps.altitudeProfile, gps.altitudeProfileNext, gps.altitudeMax, altitude);

    const Position pos = readPosition(in, latField, ns, lonField, ew);
    double d = 0.0;
    if (gps.ggaPrevLat != 0.0 && gps.ggaPrevValid) d = distance(gps.ggaPrevLat, gps.ggaPrevLon, pos.lat, pos.lon);
    gps.ggaPrevLat = pos.lat;
    gps.ggaPrevLon = pos.lon;
    // The point recorded next carries the satellite count.
    const int slot = in.trace.next >= 0 && in.trace.next < kTraceSlots ? in.trace.next : 0;
    in.trace.points[static_cast<std::size_t>(slot)].satellitesText.assign(gps.satellitesUsedText);

    if (!gps.rmcSeen) {
        // A receiver that sends no RMC: GGA keeps the position, speed, course and trace.
        in.last.latitude = pos.lat;
        in.last.longitude = pos.lon;
        in.last.datumTag = datumCodeFor(in.grid);
        gps.northSouth.assignLatin1(ns);
        gps.eastWest.assignLatin1(ew);
        gps.tripDistance += d;
        gps.speed = timeStep > 0.0f ? static_cast<float>(d * 3.6 / timeStep) : 0.0f;
        pushProfile(gps.speedProfile, gps.speedProfileNext, gps.speedMax, gps.speed);
        gps.averageSpeed = gps.elapsedSeconds >= 1 ? gps.tripDistance * 3.6 / gps.elapsedSeconds : 0.0;
        const GridPoint grid = placeFix(in, pos);
        courseFromGridStep(gps, in.trace.newest(in.settings.itracemax), grid);
        traceOrScreenAutoOff(in, 2, d, gps.ggaDistanceSinceMark, grid, pos);
        vexa::refreshMap(in, grid, refreshMap);
    }
    refreshGpsView(in, refreshGps);
    gps.ggaPrevValid = true;
    return d;
}

}  // namespace vexa
