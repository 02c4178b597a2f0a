#include "display/trace_replay.h"

#include <algorithm>
#include <cmath>

#include "frame/frame_state.h"
#include "geo/distance.h"
#include "geo/grid.h"
#include "gps/gps_state.h"
#include "gps/profiles.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa {

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kRadiansPerDegree = 0.017453292519943;

TrackPoint at(double easting, double northing) {
    TrackPoint p;
    p.gridX = easting;
    p.gridY = northing;
    return p;
}

}  // namespace

double legLength(const GridContext& grid, const TrackPoint& from, double de, double dn) {
    if (grid.PlateCarreeGrid) {
        return distance(from.gridY * 0.0001, from.gridX * 0.0001, (from.gridY + dn) * 0.0001,
                        (from.gridX + de) * 0.0001);
    }
    double length = std::sqrt(de * de + dn * dn);
    if (grid.MercatorGrid) {
        const double latitude = MercatorLatitude(static_cast<int>(from.gridY), grid);
        length *= std::cos(latitude * kRadiansPerDegree);
    }
    return length;
}

float legCourse(double de, double dn, double verticalRatio) {
    if (dn != 0.0) {
        double course = std::atan(de / (verticalRatio * dn)) * kDegreesPerRadian;
        if (dn < 0.0) course += 180.0;
        return static_cast<float>(course);
    }
    if (de > 0.0) return 90.0f;
    if (de < 0.0) return -90.0f;
    return 0.0f;
}

int legSubSteps(int mapScale, double length, double zoomFactor, int maxSteps) {
    const double pixels = std::trunc(mapScale * length * 0.001);
    int n = static_cast<int>(pixels * (1.0 / zoomFactor) * 0.1);
    if (n <= 0) n = 1;
    return std::min(n, maxSteps);
}

std::vector<int> traceReplayOrder(int count, bool wrapped, int step) {
    step = std::max(step, 1);
    std::vector<int> order;
    if (wrapped)
        for (int i = count + 1; i < kTraceReplaySlots; i += step) order.push_back(i);
    for (int i = 0; i < count - 1; i += step) order.push_back(i);
    return order;
}

std::vector<int> routeReplayOrder(int count, int step) {
    step = std::max(step, 1);
    std::vector<int> order;
    for (int i = 0; i < count - 1; i += step) order.push_back(i);
    return order;
}

void ShowIrcRoute(ReplayRecords& r, int index, int steps) {
    const RouteTable& route = r.route;
    if (index < 0 || index >= route.count) return;
    FrameState& frame = r.frame;
    const TrackPoint& point = route.points[static_cast<std::size_t>(index)];
    frame.viewCentre.gridX = point.gridX;
    frame.viewCentre.gridY = point.gridY;

    double de = 0.0, dn = 0.0;
    const int legs = std::min(steps, route.count - index - 1);
    for (int k = 0; k < legs; ++k) {
        const TrackPoint& a = route.points[static_cast<std::size_t>(index + k)];
        const TrackPoint& b = route.points[static_cast<std::size_t>(index + k + 1)];
        de = b.gridX - a.gridX;
        dn = b.gridY - a.gridY;
        r.gps.tripDistance += legLength(r.grid, a, de, dn);
    }
    const DisplayMode view = frame.displayMode.load();
    if (view != DisplayMode::Karte && view != DisplayMode::Move) return;

    const float course = legCourse(de, dn, frame.verticalRatio);
    const double length = legLength(r.grid, point, de, dn);
    const int n = legSubSteps(frame.mapScale, length, frame.zoomFactor, kRouteSubStepsMax);
    ReplayFrame shown{at(point.gridX, point.gridY), course, r.gps.speed,
                      static_cast<int>(r.gps.altitude), r.gps.tripDistance,
                      std::string(r.gps.elapsedText.view())};
    r.screen.composeAt(shown);
    if (r.control.routeJumpMode) return;
    for (int k = 1; k <= n; ++k) {
        shown.position = at(point.gridX + k * de / n, point.gridY + k * dn / n);
        r.screen.composeAt(shown);
    }
}

void ShowIrcTrace(ReplayRecords& r, int index) {
    TraceTable& trace = r.trace;
    if (index >= kTraceReplaySlots || trace.empty()) return;
    FrameState& frame = r.frame;
    GpsState& gps = r.gps;
    if (index < 0) {
        const TracePoint& first = trace.points[0];
        r.screen.composeAt({at(first.gridX, first.gridY), gps.course, first.speed,
                            static_cast<int>(first.altitude), first.distance,
                            std::string(first.elapsedText.view())});
        return;
    }
    const TracePoint& entry = trace.points[static_cast<std::size_t>(index)];
    const TracePoint& next = trace.points[static_cast<std::size_t>(index + 1)];

    pushProfile(gps.speedProfile, gps.speedProfileNext, gps.speedMax,
                static_cast<float>(static_cast<int>(entry.speed)));
    pushProfile(gps.altitudeProfile, gps.altitudeProfileNext, gps.altitudeMax,
                static_cast<float>(static_cast<int>(entry.altitude)));
    frame.viewCentre.gridX = next.gridX;
    frame.viewCentre.gridY = next.gridY;
    gps.altitude = static_cast<float>(entry.altitude);
    gps.speed = static_cast<float>(entry.speed);
    gps.course = static_cast<float>(entry.course);
    gps.elapsedText = entry.elapsedText;
    gps.fixTimeText = entry.timeText;
    gps.elapsedSeconds = entry.elapsedSeconds;
    gps.tripDistance = entry.distance;
    gps.averageSpeed = entry.elapsedSeconds > 0 ? gps.tripDistance * 3.6 / entry.elapsedSeconds : 0.0;
    trace.replayPos = index;

    const DisplayMode view = frame.displayMode.load();
    if (view == DisplayMode::Gps) {
        r.screen.showGpsAt(entry);
        return;
    }
    if (view != DisplayMode::Karte && view != DisplayMode::Move) return;

    const TrackPoint from = at(entry.gridX, entry.gridY);
    const double de = next.gridX - entry.gridX;
    const double dn = next.gridY - entry.gridY;
    const float course = legCourse(de, dn, frame.verticalRatio);
    ReplayFrame shown{from, course, entry.speed, static_cast<int>(entry.altitude), entry.distance,
                      std::string(entry.elapsedText.view())};
    if (r.control.traceJumpMode) {
        shown.position = at(next.gridX, next.gridY);
        r.screen.composeAt(shown);
        return;
    }
    const int n = legSubSteps(frame.mapScale, legLength(r.grid, from, de, dn), frame.zoomFactor,
                              kTraceSubStepsMax);
    for (int k = 1; k <= n; ++k) {
        shown.position = at(entry.gridX + k * de / n, entry.gridY + k * dn / n);
        r.screen.composeAt(shown);
    }
}

int traceKeyStep(const TraceTable& trace, int digit) {
    const int count = trace.next;
    const int wrapped = trace.wrapped ? 1 : 0;
    int pos = trace.replayPos;
    if (digit == 0) {
        pos -= 10;
        if (pos < 0) pos = std::max(count - 2, kTraceReplaySlots * wrapped - 2);
        return pos;
    }
    pos += digit;
    if (pos >= std::max(count - 2, (kTraceReplaySlots - 2) * wrapped)) pos = 1;
    return pos;
}

int stepTraceReplayPos(TraceTable& trace, GpsState& gps, int digit) {
    const int index = traceKeyStep(trace, digit);
    if (digit > 0 && index == 1 && trace.replayPos != 0) gps.tripDistance = 0.0;
    trace.replayPos = index;
    return index;
}

}  // namespace vexa
