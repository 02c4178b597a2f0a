#include <string>

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
#include "routes/datum_code.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr std::string_view kRmcTag = "$GPRMC";

// A field that may be empty keeps its place: an empty field is recognised by the comma right
// after the previous one.
std::string_view optionalField(FieldScanner& scan) {
    if (scan.emptyFieldNext()) return {};
    return scan.next();
}

}  // namespace

double parseRMC(GpsInput& in, std::string_view sentence, bool refreshMap, bool refreshGps) {
    GpsState& gps = in.gps;
    if (sentence.find(",V,") != std::string_view::npos) {
        badReception(in, sentence, kRmcTag, true, true);
        gps.rmcPrevValid = false;
        return 0.0;
    }

    FieldScanner scan(sentence);
    scan.next();  // tag
    FieldBuffer time(scan.next());
    scan.next();  // status
    const std::string_view latField = scan.next();
    const std::string_view ns = scan.next();
    const std::string_view lonField = scan.next();
    const std::string_view ew = scan.next();

    updateElapsed(gps, secondOfDay(time.view()));
    gps.fixValid = true;

    if (time.size < 6 || latField.size() < 9 || lonField.size() < 9) {
        in.ui.setWindowTitle(kBadReceptionTitle);
        return 0.0;
    }
    if (!in.frame.replaying.load()) in.ui.setWindowTitle(strprintf("GPS an %s", in.frame.portName.c_str()));

    const float speed = parseFloat(optionalField(scan)) * 1.852f;
    const float course = parseFloat(optionalField(scan));
    const std::string_view date = optionalField(scan);

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
