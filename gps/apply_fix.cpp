#include <cmath>
#include <utility>

#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/datum.h"
#include "geo/datum_code.h"
#include "geo/distance.h"
#include "geo/grid_context.h"
#include "gps/fix_texts.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/position_fix.h"
#include "gps/position_sentences.h"
#include "gps/profiles.h"
#include "gps/time_setting.h"
#include "platform/ui.h"
#include "routes/trace_table.h"

namespace vexa {

namespace {

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

// The fix on the grid: the position texts, the grid point, the last position's grid.
GridPoint placeFix(GpsInput& in, const Position& pos) {
    in.gps.noFixShown = false;
    // Live reception names the port on every fix; a replay names its file again.
    if (std::exchange(in.gps.badReceptionTitled, false) && in.frame.replaying.load())
        in.ui.setWindowTitle(in.frame.replayTitle);
    in.views.fillGeomsg(pos.lon, pos.lat, in.gps.eastWest, in.gps.northSouth);
    const GridPoint grid = llh2utm(pos.lon, pos.lat, 1, in.grid);
    in.last.grid = grid;
    return grid;
}

}  // namespace

[[gnu::hot]] bool beginFix(GpsInput& in, const PositionSentence& s, std::string_view date) {
    if (!s.plausible) {
        in.ui.setWindowTitle(kBadReceptionTitle);
        in.gps.badReceptionTitled = true;
        return false;
    }
    GpsState& gps = in.gps;
    updateElapsed(gps, s.secondOfDay);
    gps.fixValid = true;
    if (!in.frame.replaying.load()) setGpsOnTitle(in);
    FieldBuffer time(s.time);
    TimeSetting(in, time.span(), date);
    setTimeText(gps.fixTimeText, time.view());
    return true;
}

[[gnu::hot]] Position fixPosition(const GpsInput& in, const PositionSentence& s) {
    Position p{s.longitude, s.latitude};
    if (in.grid.LocalDatumGrid) {
        const GeodeticPoint local = wgs84ToLocal(p.lon, p.lat, in.grid);
        p.lon = local.longitude;
        p.lat = local.latitude;
    }
    return p;
}

[[gnu::hot]] std::optional<double> stepFromPrevious(double& previousLat, double& previousLon, bool previousValid,
                                       const Position& position) {
    std::optional<double> d;
    if (previousLat != 0.0 && previousValid)
        d = distance(previousLat, previousLon, position.lat, position.lon);
    previousLat = position.lat;
    previousLon = position.lon;
    return d;
}

[[gnu::hot]] void applyFix(GpsInput& in, const PositionSentence& s, const FixStep& step, bool refreshMapFlag) {
    GpsState& gps = in.gps;
    if (step.tripStep) {
        gps.tripDistance += *step.tripStep;
        gps.averageSpeed = gps.elapsedSeconds >= 1 ? gps.tripDistance * 3.6 / gps.elapsedSeconds : 0.0;
    }
    // Speed and course are stored before the trace point is taken, so the point carries
    // this fix's values.
    gps.speed = step.speed;
    if (step.course) gps.course = *step.course;
    pushProfile(gps.speedProfile, gps.speedProfileNext, gps.speedMax, step.speed);
    in.last.latitude = step.position.lat;
    in.last.longitude = step.position.lon;
    in.last.datumTag = datumCodeFor(in.grid);
    gps.northSouth.assignLatin1(s.northSouth);
    gps.eastWest.assignLatin1(s.eastWest);
    const GridPoint grid = placeFix(in, step.position);
    if (!step.course) courseFromGridStep(gps, in.trace.newest(in.settings.itracemax), grid);
    traceOrScreenAutoOff(in, step.source, step.distance, step.mark, grid, step.position);
    refreshMap(in, grid, refreshMapFlag);
}

}  // namespace vexa
