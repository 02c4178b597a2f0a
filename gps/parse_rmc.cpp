#include "frame/frame_state.h"
#include "frame/settings.h"
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

namespace vexa {

double parseRMC(GpsInput& in, std::string_view sentence, bool refreshMap, bool refreshGps) {
    GpsState& gps = in.gps;
    NmeaFields f;
    splitFields(sentence, f);
    const std::string_view tag = f[0];
    const std::string_view latField = f[3], ns = f[4], lonField = f[5], ew = f[6];
    // A warning or a sentence without a position: the receiver has no fix.
    if (f[2] == "V" || latField.empty() || lonField.empty()) {
        badReception(in, sentence, tag, true, true);
        gps.rmcPrevValid = false;
        return 0.0;
    }
    FieldBuffer time(f[1]);
    if (!plausibleFix(time.view(), latField, lonField)) {
        in.ui.setWindowTitle(kBadReceptionTitle);
        return 0.0;
    }
    updateElapsed(gps, secondOfDay(time.view()));
    gps.fixValid = true;
    if (!in.frame.replaying.load()) setGpsOnTitle(in);

    const float speed = parseFloat(f[7]) * 1.852f;
    const float course = parseFloat(f[8]);
    const std::string_view date = f[9];

    TimeSetting(in, time.span(), date);
    setTimeText(gps.fixTimeText, time.view());
    if (date.empty()) {
        gps.fixDateText.clear();
    } else {
        char text[8];
        std::size_t n = 0;
        for (std::size_t i = 0; i < 6 && i < date.size(); ++i) {
            if (i == 2 || i == 4) text[n++] = '.';
            text[n++] = date[i];
        }
        gps.fixDateText.assignLatin1(std::string_view(text, n));
    }

    const Position pos = readPosition(in, latField, ns, lonField, ew);

    double d = 0.0;
    if (gps.rmcPrevLat != 0.0 && gps.rmcPrevValid) {
        d = distance(gps.rmcPrevLat, gps.rmcPrevLon, pos.lat, pos.lon);
        gps.tripDistance += d;
        gps.averageSpeed = gps.elapsedSeconds >= 1 ? gps.tripDistance * 3.6 / gps.elapsedSeconds : 0.0;
    }
    gps.rmcPrevLat = pos.lat;
    gps.rmcPrevLon = pos.lon;

    // The fix's speed and course are stored before the trace point is taken, so the point
    // carries this fix's values.
    gps.speed = speed;
    gps.course = course;
    pushProfile(gps.speedProfile, gps.speedProfileNext, gps.speedMax, speed);
    in.last.latitude = pos.lat;
    in.last.longitude = pos.lon;
    in.last.datumTag = datumCodeFor(in.grid);
    gps.northSouth.assignLatin1(ns);
    gps.eastWest.assignLatin1(ew);
    const GridPoint grid = placeFix(in, pos);
    traceOrScreenAutoOff(in, 1, d, gps.rmcDistanceSinceMark, grid, pos);

    vexa::refreshMap(in, grid, refreshMap);
    refreshGpsView(in, refreshGps);
    gps.rmcPrevValid = true;
    return d;
}

}  // namespace vexa
