// The stylus on the device screen: taps, tap-and-hold, drags and lifts in the map, Move and
// GPS views, and double taps.
#include <QAction>
#include <QMenu>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/replay_controller.h"
#include "app/frame_view.h"
#include "app/main_window.h"
#include "app/state_lock.h"
#include "display/gps_layout.h"
#include "maps/render/map_view_layout.h"
#include "frame/settings_store.h"
#include "geo/grid.h"
#include "geo/datum_code.h"
#include "maps/map_file_name.h"
#include "routes/route_hits.h"
#include "util/text.h"

namespace vexa {

namespace {
constexpr int kTaskBarHeight = 26;  // the Move view's thirds are cut from the height below it
constexpr int kInfoPages = 8;
constexpr int kPanSteps = 5;        // an edge arrow pans half a screen in five frames

constexpr int kGpsColours = 5;     // the GPS view's background colours 0..4

// Moves a grid position the way the stylus moved (dx, dy scaled pixels).
void followStylus(double& gridX, double& gridY, int dx, int dy, const FrameState& frame) {
    gridX -= dx * 1000.0 / frame.mapScale;
    gridY += (1.0 / frame.verticalRatio) * dy * 1000.0 / frame.mapScale;
}
}  // namespace

// The scale the stylus and keys measure with: the map under calibration, else the current
// map, else 200 pixels per 1000 m. The caller holds the state.
int MainWindow::takeMapScale() {
    const auto& rows = state_.maps.rows;
    const auto valid = [&](int row) { return row >= 0 && row < static_cast<int>(rows.size()); };
    int scale = 200;
    if (valid(state_.mapView.CalibrationRow))
        scale = rows[static_cast<std::size_t>(state_.mapView.CalibrationRow)].resolution;
    else if (state_.frame.lastMapIndex >= 0 && valid(state_.mapView.CurrentRow))
        scale = rows[static_cast<std::size_t>(state_.mapView.CurrentRow)].resolution;
    state_.frame.mapScale = scale > 0 ? scale : 200;
    return state_.frame.mapScale;
}

void MainWindow::tap(int x, int y) {
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.frame.selectedRoutePoint = -1;
        stylus_.hitPoi = -1;
    }
    const bool idleNow = context_.idle();
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

void MainWindow::karteTap(int x, int y) {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    FrameState& frame = state_.frame;
    const int w = frame.screen.width;
    const int h = frame.screen.height;
    for (const EdgeArrow& zone : edgeArrows(frame.screen, fullScreen())) {
        if (!zone.zone.contains(x, y)) continue;
        const int scale = takeMapScale();
        for (int step = 0; step < kPanSteps; ++step) {
            frame.lastShown.gridX += zone.east * (w / 2) * frame.zoomFactor * 200.0 / scale;
            frame.lastShown.gridY += zone.north * (h / 2) * frame.zoomFactor * 200.0 / scale;
            views_.composeMapView(frame.lastShown);
        }
        views_.composeMapView(frame.lastShown);
        return;
    }
    AddDebugLine(state_.diagnostics, "WM_LBUTTONDOWN KARTE_WINDOW");
    const int scale = takeMapScale();
    stylus_.poiDragAllowed = false;
    stylus_.lastTapX = x;
    stylus_.lastTapY = y;
    const ViewProjection view = projectionAt(frame, frame.viewCentre.gridX, frame.viewCentre.gridY, scale);
    const TapWindow window{w, h};
    if (frame.showPois) {
        stylus_.hitPoi = checkPoiHit(state_.pois, view, window, x, y);
        if (stylus_.hitPoi >= 0 &&
            std::filesystem::path(state_.pois.records[static_cast<std::size_t>(stylus_.hitPoi)].dbPath) ==
                defaultPoiVolume())
            stylus_.poiDragAllowed = true;
    }
    stylus_.routeHit = false;
    stylus_.routePointAdded = false;
    if (frame.showRoutePoints) {
        frame.selectedRoutePoint = checkRouteHit(state_.route, view, window, x, y);
        if (frame.selectedRoutePoint >= 0) {
            stylus_.routeHit = true;
            views_.composeMapView(frame.viewCentre);
        }
    }
    stylus_.dragging = 1;
}

// The stylus held still (or the right button): a route point added on empty map, the route
// edit menu on a route point, the calibration menu while a map is being calibrated.
void MainWindow::karteHold(int x, int y) {
    if (currentView() != DisplayMode::Karte) return;
    std::vector<std::pair<int, const char*>> items;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        stylus_.dragging = 0;
        if (state_.mapView.CalibrationRow >= 0) {
            items = {{cmd::CalibrationMenu, "Kalibrierung "}};
        } else if (stylus_.routeHit) {
            items = {{kCmdRouteDeleteBefore, "Route bis löschen"}, {kCmdRouteDeleteFrom, "Route von löschen"},
                     {kCmdLineKindBlue, "ab hier blaue Linie"},    {kCmdLineKindPath, "ab hier Weg"},
                     {kCmdLineKindRoad, "ab hier Straße"},         {kCmdLineKindMainRoad, "ab hier Hauptstraße"},
                     {kCmdLineKindMotorway, "ab hier Autobahn"},   {kCmdLineKindNotDrawn, "ab hier nicht zeichnen"}};
        } else {
            const MapTapGeometry geometry{state_.frame.screen.width, state_.frame.screen.height,
                                          state_.frame.lastMapIndex >= 0};
            takeMapScale();
            stylus_.routePointAdded =
                AddTrackPoint(state_.route, state_.frame, state_.grid, ui_, geometry, x, y);
            views_.composeMapView(state_.frame.viewCentre);
            return;
        }
    }
    tapMenu(items, x, y);
}

void MainWindow::tapMenu(const std::vector<std::pair<int, const char*>>& items, int x, int y) {
    QMenu menu(this);
    for (const auto& [id, text] : items) menu.addAction(QString::fromUtf8(text))->setData(id);
    const int chosen = popupMenu(menu, frameView_->mapToGlobal(QPoint(x, y) * frameView_->scale()));
    if (chosen > 0) command(chosen);
}

void MainWindow::drag(int x, int y) {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    FrameState& frame = state_.frame;
    if (frame.displayMode.load() != DisplayMode::Karte) return;
    const int scale = takeMapScale();
    const int dx = static_cast<int>((stylus_.lastTapX - x) * frame.zoomFactor);
    const int dy = static_cast<int>((stylus_.lastTapY - y) * frame.zoomFactor);
    stylus_.lastTapX = x;
    stylus_.lastTapY = y;
    if (stylus_.dragging != 1) return;
    const int calibration = state_.mapView.CalibrationRow;
    if (calibration >= 0 && calibration < static_cast<int>(state_.maps.rows.size())) {
        MapEntry& row = state_.maps.rows[static_cast<std::size_t>(calibration)];
        const float east = static_cast<float>(dx * 1000.0 / scale);
        const float north = static_cast<float>(dy * 1000.0 / scale);
        row.left -= east;
        row.right -= east;
        row.top += north;
        row.bottom += north;
        row.moved = 1;
        views_.composeMapView(frame.viewCentre);
    } else if (stylus_.routeHit && frame.selectedRoutePoint >= 0) {
        TrackPoint& p = state_.route.points[static_cast<std::size_t>(frame.selectedRoutePoint)];
        followStylus(p.gridX, p.gridY, dx, dy, frame);
        const GeodeticPoint g = utm2llh({p.gridX, p.gridY}, state_.grid);
        p.lon = g.longitude;
        p.lat = g.latitude;
        p.datumCode = datumCodeFor(state_.grid);
        views_.composeMapView(frame.lastShown);
    } else if (stylus_.poiDragAllowed) {
        PoiRecord& poi = state_.pois.records[static_cast<std::size_t>(stylus_.hitPoi)];
        followStylus(poi.gridX, poi.gridY, dx, dy, frame);
        views_.composeMapView(frame.lastShown);
    } else if (stylus_.hitPoi < 0) {
        frame.lastShown.gridX += dx * 1000.0 / scale;
        frame.lastShown.gridY -= (1.0 / frame.verticalRatio) * dy * 1000.0 / scale;
        views_.composeMapView(frame.lastShown);
    }
}

// The lift ends a drag; a POI of the default volume dragged to a new place is written there.
void MainWindow::lift(int, int) {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    if (state_.frame.displayMode.load() != DisplayMode::Karte) return;
    const bool wasDragging = stylus_.dragging == 1;
    stylus_.dragging = 0;
    views_.composeMapView(state_.frame.lastShown);
    if (!wasDragging || !stylus_.poiDragAllowed) return;
    stylus_.poiDragAllowed = false;
    DbContext db = context_.dbContext();
    storeMovedPoi(db, state_.pois, state_.grid, stylus_.hitPoi);
}

// The Move view in thirds of the height below the task bar: the top third shows the next info
// page (left) or the previous Move display mode (right), the middle third the GPS view, the
// bottom third the next Move display mode (left) or full screen on or off (right).
void MainWindow::moveTap(int x, int y) {
    if (replay_->replayButtonTap(x, y)) return;
    const int third = (state_.frame.screen.height - kTaskBarHeight) / 3;
    const bool left = x < state_.frame.screen.width / 2;
    if (y < third && left) {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.display.infoPage = (state_.display.infoPage + 1) % kInfoPages;
        if (context_.idle()) views_.composeMapView(state_.frame.viewCentre);
    } else if (y < third) {
        {
            // One back: the step to the next mode adds one again.
            StateLock lock(state_.stateMutex, uiHoldsState_);
            int& mode = state_.frame.moveDisplayMode;
            mode = mode == 0 ? 7 : mode - 2;
        }
        command(cmd::MoveStep);
    } else if (y < 2 * third) {
        command(cmd::GpsView);
    } else if (left) {
        command(cmd::MoveStep);
    } else {
        if (fullScreen()) fullscreenOff();
        else fullscreenOn();
        if (context_.idle()) context_.refreshWindow();
    }
}

// A tap in the north-up Move view while calibrating: the current map is to be moved by the
// tap's distance from the centre; the menu says whether for good, for now or not at all.
void MainWindow::moveCalibrationTap(int x, int y) {
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        const auto& rows = state_.maps.rows;
        const int row = state_.mapView.CurrentRow;
        if (state_.frame.lastMapIndex < 0 || row < 0 || row >= static_cast<int>(rows.size())) return;
        const MapEntry& map = rows[static_cast<std::size_t>(row)];
        const int scale = map.resolution > 0 ? map.resolution : 200;
        state_.frame.mapScale = scale;
        const double zoom = state_.frame.zoomFactor;
        stylus_.calibrationTapRow = row;
        stylus_.calibrationOffsetX = static_cast<float>((x - state_.frame.screen.width / 2) * zoom * 1000.0 / scale);
        stylus_.calibrationOffsetY = static_cast<float>((y - state_.frame.screen.height / 2) * zoom * (-1000.0) / scale);
        const std::string zone(splitMapFileName(map.fileName())[1]);
        AddDebugLine(state_.diagnostics,
                     strprintf("Karte_%s_%6.0f_%7.0f_%d_%d_%d.%s", zone.c_str(), map.left - stylus_.calibrationOffsetX,
                               map.top - stylus_.calibrationOffsetY, scale, map.widthPx, map.heightPx,
                               std::string(map.extension()).c_str()));
    }
    tapMenu({{cmd::PermanentCalibration, "permanente Kalibrierung"},
             {cmd::TemporaryCalibration, "temporäre Kalbrierung"},
             {cmd::CancelCalibration, "Cancel Kalibrierung"}},
            x, y - 20);
}

// The GPS view's buttons, where the view draws them; in landscape or upside down any tap goes
// back to the Move view.
void MainWindow::gpsTap(int x, int y, bool idleNow) {
    bool turned = false;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        turned = state_.frame.moveDisplayMode > 2;
    }
    if (turned) {
        command(cmd::MoveView);
        return;
    }
    const GpsViewLayout layout = gpsViewLayout(state_.frame.screen);
    const QPoint p(x, y);
    if (layout.satellitePanel().contains(p)) {
        if (idleNow) {
            {
                StateLock lock(state_.stateMutex, uiHoldsState_);
                state_.frame.logOpenedByKey = true;
            }
            ui_.sendCommand(cmd::GpsStart);
        } else if (gpsRunning()) {
            ui_.sendCommand(cmd::GpsStop);
        }
        return;
    }
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        GpsViewRequests& requests = views_.gpsViewRequests();
        if (layout.guidanceToggle().contains(p)) {
            state_.guidance.targetLineOff = !state_.guidance.targetLineOff;
        } else if (layout.pictureArea().contains(p)) {
            AddDebugLine(state_.diagnostics, "WM_LBUTTONDOWN testRectFarben");
            int& colour = state_.settings.iGpsBKColor;
            colour = colour + 1 > kGpsColours - 1 ? 0 : colour + 1;
            RegCreateGpsBKColor(store_, static_cast<std::uint32_t>(colour));  // kept for the next start
        } else if (layout.speedProfileArea().contains(p)) {
            requests.recomputeSpeedMax = true;
        } else if (layout.altitudeProfileArea().contains(p)) {
            requests.recomputeAltitudeMax = true;
        } else if (layout.tripArea().contains(p)) {
            requests.resetTrip = true;
        } else if (layout.coordinateLine().contains(p)) {
            int& format = state_.display.coordFormat;
            format = (format + 1) % 3;
            if (format == 0 && state_.grid.PlateCarreeGrid) format = 1;
        } else {
            return;
        }
    }
    if (idleNow) context_.refreshWindow();
}

void MainWindow::doubleTap(int x, int y) {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    FrameState& frame = state_.frame;
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

}  // namespace vexa
