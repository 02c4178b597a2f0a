#include "routes/route_table.h"

#include <algorithm>
#include <cmath>

#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/datum.h"
#include "geo/grid.h"
#include "platform/ui.h"
#include "geo/datum_code.h"
#include "routes/trace_table.h"
#include "util/text.h"
#include "util/trunc_to_int.h"

namespace vexa {

namespace {

void clearSlot(TrackPoint& p) {
    p.gridX = 0.0;
    p.gridY = 0.0;
    p.altitude = 0;
    p.lineKind = LineKind::Blue;
}

bool selectionValid(const RouteTable& route, int sel) { return sel >= 0 && sel < route.count; }

}  // namespace

bool AddTrackPoint(RouteTable& route, FrameState& frame, const GridContext& grid, Ui& ui,
                   const MapTapGeometry& geometry, int x, int y) {
    if (route.count >= kRouteCapacity) {
        ui.messageBox(strprintf("Track maximal %d Punkte", kRouteCapacity), "");
        return false;
    }
    int scale = 200;
    if (geometry.mapLoaded) {
        scale = frame.mapScale > 0 ? frame.mapScale : 200;
    } else if (grid.PlateCarreeGrid) {
        frame.verticalRatio = 1.0 / std::cos(frame.viewCentre.gridY * 0.0001 * kPi / 180.0);
    }
    const double stretch = frame.verticalRatio != 0.0 ? frame.verticalRatio : 1.0;

    // The tap in frame pixels from the frame's middle; the window shows the frame's middle.
    const ScreenSize screen{geometry.clientWidth, geometry.clientHeight};
    const int dxp = x + screen.left() - screen.frameSide() / 2;
    const int dyp = y + screen.top() - screen.frameSide() / 2;
    const long long dx = truncToInt(dxp * frame.zoomFactor);
    const long long dy = truncToInt(truncToInt(dyp / stretch) * frame.zoomFactor);

    TrackPoint p;
    p.gridX = frame.viewCentre.gridX + static_cast<double>(dx * 1000 / scale);
    p.gridY = frame.viewCentre.gridY - static_cast<double>(dy * 1000 / scale);
    const GeodeticPoint geo = utm2llh({p.gridX, p.gridY}, grid);
    p.lon = geo.longitude;
    p.lat = geo.latitude;
    p.datumCode = datumCodeFor(grid);
    p.lineKind = LineKind::Blue;

    route.points[static_cast<std::size_t>(route.count)] = p;
    frame.lastShown = p;
    frame.selectedRoutePoint = route.count;
    ++route.count;
    return true;
}

bool trace2track(RouteTable& route, const TraceTable& trace, long itracemax, FrameState& frame,
                 Ui& ui) {
    if (trace.empty()) {
        ui.messageBox("Kein Trace vorhanden", "Trace -> Route ");
        return false;
    }
    const int top = static_cast<int>(std::clamp<long>(itracemax, 0, kTraceMaxLimit));
    const int n = trace.wrapped ? top : trace.next;
    float step = static_cast<float>(n) * 0.00025f;
    if (step < 1.0f) step = 1.0f;

    int copied = 0;
    auto copyRange = [&](float f, float end) {
        for (; f < end && copied < kRouteCapacity; f += step) {
            route.points[static_cast<std::size_t>(copied++)] = trackPointOf(trace.points[static_cast<std::size_t>(f)]);
        }
    };
    if (trace.wrapped) {
        copyRange(static_cast<float>(trace.next + 1), static_cast<float>(top));
        copyRange(0.0f, static_cast<float>(trace.next));
    } else {
        copyRange(0.0f, static_cast<float>(trace.next));
    }
    // The last copied point is not part of the route.
    route.count = std::max(copied - 1, 0);
    if (route.count > 0) {
        frame.viewCentre.gridX = route.points[0].gridX;
        frame.viewCentre.gridY = route.points[0].gridY;
        ui.sendCommand(kCmdRedrawKarte);
    }
    return true;
}

void DeleteRouteBefore(RouteTable& route, FrameState& frame) {
    const int sel = frame.selectedRoutePoint;
    if (!selectionValid(route, sel)) return;
    std::copy(route.points.begin() + sel, route.points.begin() + route.count, route.points.begin());
    for (int i = route.count - sel; i < route.count; ++i) clearSlot(route.points[static_cast<std::size_t>(i)]);
    route.count -= sel;
    frame.selectedRoutePoint = 0;
}

void DeleteRouteFrom(RouteTable& route, const FrameState& frame) {
    const int sel = frame.selectedRoutePoint;
    if (!selectionValid(route, sel)) return;
    for (int i = sel; i < route.count; ++i) clearSlot(route.points[static_cast<std::size_t>(i)]);
    route.count = sel;
}

void ReverseRoute(RouteTable& route) {
    std::reverse(route.points.begin(), route.points.begin() + route.count);
}

void ReduceRoute(RouteTable& route) {
    if (route.count <= 0) return;
    const int half = route.count / 2;
    for (int i = 0; i < half; ++i) route.points[static_cast<std::size_t>(i)] = route.points[static_cast<std::size_t>(2 * i)];
    route.count = half;
}

void SetLineKindFrom(RouteTable& route, const FrameState& frame, LineKind kind) {
    const int sel = frame.selectedRoutePoint;
    if (!selectionValid(route, sel)) return;
    for (int i = sel; i < route.count; ++i) route.points[static_cast<std::size_t>(i)].lineKind = kind;
}

void ClearRoute(RouteTable& route) {
    for (TrackPoint& p : route.points) clearSlot(p);
    route.count = 0;
}

int lineKindOfCommand(int commandId) {
    switch (commandId) {
    case kCmdLineKindBlue: return static_cast<int>(LineKind::Blue);
    case kCmdLineKindPath: return static_cast<int>(LineKind::Path);
    case kCmdLineKindRoad: return static_cast<int>(LineKind::Road);
    case kCmdLineKindMainRoad: return static_cast<int>(LineKind::MainRoad);
    case kCmdLineKindMotorway: return static_cast<int>(LineKind::Motorway);
    case kCmdLineKindNotDrawn: return static_cast<int>(LineKind::NotDrawn);
    default: return -1;
    }
}

RouteClimb routeClimb(const RouteTable& route) {
    double up = 0.0, down = 0.0;
    const int count = std::clamp(route.count, 0, kRouteCapacity);
    for (int i = 1; i < count; ++i) {
        const double step = route.points[static_cast<std::size_t>(i)].altitude -
                            route.points[static_cast<std::size_t>(i - 1)].altitude;
        (step > 0.0 ? up : down) += std::abs(step);
    }
    return {static_cast<int>(up + 0.5), static_cast<int>(down + 0.5)};
}

}  // namespace vexa
