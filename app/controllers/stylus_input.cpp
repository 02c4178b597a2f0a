// The stylus on the device screen: each tap to its view, and in the map view the edge arrows,
// tap-and-hold, drags, lifts and double taps.
#include <QAction>
#include <QMenu>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/replay_controller.h"
#include "app/controllers/window_input.h"
#include "app/frame_view.h"
#include "app/qt_gps_views.h"
#include "app/state_lock.h"
#include "geo/datum_code.h"
#include "geo/grid.h"
#include "maps/render/map_view_layout.h"
#include "routes/route_hits.h"

namespace vexa {

namespace {
constexpr int kPanSteps = 5;  // an edge arrow pans half a screen in five frames

// Moves a grid position the way the stylus moved (dx, dy scaled pixels).
void followStylus(double& gridX, double& gridY, int dx, int dy, const FrameState& frame) {
    gridX -= dx * 1000.0 / frame.mapScale;
    gridY += (1.0 / frame.verticalRatio) * dy * 1000.0 / frame.mapScale;
}
}  // namespace

// The scale the stylus and keys measure with: the map under calibration, else the current
// map, else 200 pixels per 1000 m. The caller holds the state.
int WindowInput::takeMapScale() {
    const auto& rows = c_.state.maps.rows;
    const auto valid = [&](int row) { return row >= 0 && row < static_cast<int>(rows.size()); };
    int scale = 200;
    if (valid(c_.state.mapView.CalibrationRow))
        scale = rows[static_cast<std::size_t>(c_.state.mapView.CalibrationRow)].resolution;
    else if (c_.state.frame.lastMapIndex >= 0 && valid(c_.state.mapView.CurrentRow))
        scale = rows[static_cast<std::size_t>(c_.state.mapView.CurrentRow)].resolution;
    c_.state.frame.mapScale = scale > 0 ? scale : 200;
    return c_.state.frame.mapScale;
}

void WindowInput::tap(int x, int y) {
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.frame.selectedRoutePoint = -1;
        stylus_.hitPoi = -1;
    }
    const bool idleNow = c_.idle();
    switch (currentView()) {
    case DisplayMode::Karte: karteTap(x, y); break;
    case DisplayMode::Move:
        if (calibrating()) moveCalibrationTap(x, y);
        else if (!gpsRunning()) moveTap(x, y);
        break;
    case DisplayMode::Gps: gpsTap(x, y, idleNow); break;
    case DisplayMode::Nmea: break;
    }
}

void WindowInput::karteTap(int x, int y) {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    FrameState& frame = c_.state.frame;
    const int w = frame.screen.width;
    const int h = frame.screen.height;
    for (const EdgeArrow& zone : edgeArrows(frame.screen, c_.window.fullScreen())) {
        if (!zone.zone.contains(x, y)) continue;
        const int scale = takeMapScale();
        for (int step = 0; step < kPanSteps; ++step) {
            frame.lastShown.gridX += zone.east * (w / 2) * frame.zoomFactor * 200.0 / scale;
            frame.lastShown.gridY += zone.north * (h / 2) * frame.zoomFactor * 200.0 / scale;
            c_.views.composeMapView(frame.lastShown);
        }
        c_.views.composeMapView(frame.lastShown);
        return;
    }
    AddDebugLine(c_.state.diagnostics, "WM_LBUTTONDOWN KARTE_WINDOW");
    const int scale = takeMapScale();
    stylus_.poiDragAllowed = false;
    stylus_.lastTapX = x;
    stylus_.lastTapY = y;
    const ViewProjection view = projectionAt(frame, frame.viewCentre.gridX, frame.viewCentre.gridY, scale);
    const TapWindow window{w, h};
    if (frame.showPois) {
        stylus_.hitPoi = checkPoiHit(c_.state.pois, view, window, x, y);
        if (stylus_.hitPoi >= 0 &&
            std::filesystem::path(c_.state.pois.records[static_cast<std::size_t>(stylus_.hitPoi)].dbPath) ==
                defaultPoiVolume())
            stylus_.poiDragAllowed = true;
    }
    stylus_.routeHit = false;
    if (frame.showRoutePoints) {
        frame.selectedRoutePoint = checkRouteHit(c_.state.route, view, window, x, y);
        if (frame.selectedRoutePoint >= 0) {
            stylus_.routeHit = true;
            c_.views.composeMapView(frame.viewCentre);
        }
    }
    stylus_.dragging = 1;
}

void WindowInput::hold(int x, int y) {
    if (!replay_.replayButtonHold(x, y)) karteHold(x, y);
}

// The stylus held still (or the right button): a route point added on empty map, the route
// edit menu on a route point, the calibration menu while a map is being calibrated.
void WindowInput::karteHold(int x, int y) {
    if (currentView() != DisplayMode::Karte) return;
    std::vector<std::pair<int, const char*>> items;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        stylus_.dragging = 0;
        if (c_.state.mapView.CalibrationRow >= 0) {
            items = {{cmd::CalibrationMenu, "Kalibrierung "}};
        } else if (stylus_.routeHit) {
            items = {{kCmdRouteDeleteBefore, "Route bis löschen"}, {kCmdRouteDeleteFrom, "Route von löschen"},
                     {kCmdLineKindBlue, "ab hier blaue Linie"},    {kCmdLineKindPath, "ab hier Weg"},
                     {kCmdLineKindRoad, "ab hier Straße"},         {kCmdLineKindMainRoad, "ab hier Hauptstraße"},
                     {kCmdLineKindMotorway, "ab hier Autobahn"},   {kCmdLineKindNotDrawn, "ab hier nicht zeichnen"}};
        } else {
            const MapTapGeometry geometry{c_.state.frame.screen.width, c_.state.frame.screen.height,
                                          c_.state.frame.lastMapIndex >= 0};
            takeMapScale();
            AddTrackPoint(c_.state.route, c_.state.frame, c_.state.grid, c_.ui, geometry, x, y);
            c_.views.composeMapView(c_.state.frame.viewCentre);
            return;
        }
    }
    tapMenu(items, x, y);
}

void WindowInput::tapMenu(const std::vector<std::pair<int, const char*>>& items, int x, int y) {
    QMenu menu(c_.window.dialogParent());
    for (const auto& [id, text] : items) menu.addAction(QString::fromUtf8(text))->setData(id);
    const FrameView& view = c_.window.frameView();
    const int chosen = c_.window.popupMenu(menu, view.mapToGlobal(QPoint(x, y) * view.scale()));
    if (chosen > 0) c_.window.command(chosen);
}

void WindowInput::drag(int x, int y) {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    FrameState& frame = c_.state.frame;
    if (frame.displayMode.load() != DisplayMode::Karte) return;
    const int scale = takeMapScale();
    const int dx = static_cast<int>((stylus_.lastTapX - x) * frame.zoomFactor);
    const int dy = static_cast<int>((stylus_.lastTapY - y) * frame.zoomFactor);
    stylus_.lastTapX = x;
    stylus_.lastTapY = y;
    if (stylus_.dragging != 1) return;
    const int calibration = c_.state.mapView.CalibrationRow;
    if (calibration >= 0 && calibration < static_cast<int>(c_.state.maps.rows.size())) {
        MapEntry& row = c_.state.maps.rows[static_cast<std::size_t>(calibration)];
        const float east = static_cast<float>(dx * 1000.0 / scale);
        const float north = static_cast<float>(dy * 1000.0 / scale);
        row.left -= east;
        row.right -= east;
        row.top += north;
        row.bottom += north;
        row.moved = 1;
        c_.views.composeMapView(frame.viewCentre);
    } else if (stylus_.routeHit && frame.selectedRoutePoint >= 0) {
        TrackPoint& p = c_.state.route.points[static_cast<std::size_t>(frame.selectedRoutePoint)];
        followStylus(p.gridX, p.gridY, dx, dy, frame);
        const GeodeticPoint g = utm2llh({p.gridX, p.gridY}, c_.state.grid);
        p.lon = g.longitude;
        p.lat = g.latitude;
        p.datumCode = datumCodeFor(c_.state.grid);
        c_.views.composeMapView(frame.lastShown);
    } else if (stylus_.poiDragAllowed) {
        PoiRecord& poi = c_.state.pois.records[static_cast<std::size_t>(stylus_.hitPoi)];
        followStylus(poi.gridX, poi.gridY, dx, dy, frame);
        c_.views.composeMapView(frame.lastShown);
    } else if (stylus_.hitPoi < 0) {
        frame.lastShown.gridX += dx * 1000.0 / scale;
        frame.lastShown.gridY -= (1.0 / frame.verticalRatio) * dy * 1000.0 / scale;
        c_.views.composeMapView(frame.lastShown);
    }
}

// The lift ends a drag; a POI of the default volume dragged to a new place is written there.
void WindowInput::lift(int, int) {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    if (c_.state.frame.displayMode.load() != DisplayMode::Karte) return;
    const bool wasDragging = stylus_.dragging == 1;
    stylus_.dragging = 0;
    c_.views.composeMapView(c_.state.frame.lastShown);
    if (!wasDragging || !stylus_.poiDragAllowed) return;
    stylus_.poiDragAllowed = false;
    DbContext db = c_.dbContext();
    storeMovedPoi(db, c_.state.pois, c_.state.grid, stylus_.hitPoi);
}

void WindowInput::doubleTap(int x, int y) {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    FrameState& frame = c_.state.frame;
    if (frame.displayMode.load() != DisplayMode::Karte) return;
    const int w = frame.screen.width;
    const int h = frame.screen.height;
    TrackPoint centre = frame.viewCentre;
    centre.gridX += static_cast<int>((x - w / 2) * frame.zoomFactor * 1000.0 / frame.mapScale);
    centre.gridY += static_cast<int>((y - h / 2) * frame.zoomFactor * (-1000.0) / frame.mapScale *
                                     (1.0 / frame.verticalRatio));
    frame.viewCentre = centre;
    frame.lastShown = centre;
}

void WindowInput::endDrag() {
    if (stylus_.dragging == 1) lift(stylus_.lastTapX, stylus_.lastTapY);
}

}  // namespace vexa
