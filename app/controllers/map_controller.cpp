// The map directory, the map choice and the map views' toggles.
#include <filesystem>
#include <optional>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/map_controller.h"
#include "app/frame_view.h"
#include "app/menu_bar.h"
#include "app/qt_gps_views.h"
#include "app/ui_thread.h"
#include "frame/move_display.h"
#include "frame/settings_store.h"
#include "geo/grid_refresh.h"
#include "maps/map_catalogue.h"
#include "maps/map_selection.h"
#include "platform/paths.h"
#include "routes/grid_refresh_tables.h"

namespace vexa {

bool MapController::handles(int id) const {
    switch (id) {
    case cmd::LoadMapDirectory:
    case cmd::MapDirectory:
    case cmd::ImportMaps:
    case cmd::Overview:
    case cmd::ShowPois:
    case cmd::ShowRoutePoints:
    case cmd::ZoomIn:
    case cmd::ZoomOut:
    case cmd::ZoomReset:
    case cmd::Calibration:
    case cmd::PermanentCalibration:
    case cmd::TemporaryCalibration:
    case cmd::CancelCalibration:
    case cmd::CalibrationMenu: return true;
    default: return false;
    }
}

void MapController::run(int id) {
    switch (id) {
    case cmd::LoadMapDirectory: loadMapDirectory(); break;
    case cmd::MapDirectory: openMapDirectory(); break;
    case cmd::ImportMaps: importMapFiles(); break;
    case cmd::Overview: toggleOverview(); break;
    case cmd::ShowPois:
    case cmd::ShowRoutePoints: toggleOverlay(id); break;
    case cmd::Calibration: toggleCalibration(); break;
    case cmd::ZoomIn:
    case cmd::ZoomOut:
    case cmd::ZoomReset: zoom(id); break;
    default: calibrationCommand(id);
    }
}

// The stored points follow a grid change: POIs, route, trace (each when it has points) and
// the last position.
void MapController::refreshGridCoordinates() {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    if (c_.state.pois.count > 0) PoiTab_Anpassen(c_.state.pois, c_.state.grid);
    if (c_.state.route.count > 0) track_utm_Anpassen(c_.state.route, c_.state.grid);
    if (!c_.state.trace.empty()) trace_utm_Anpassen(c_.state.trace, c_.state.settings.itracemax, c_.state.grid);
    last_utm_Anpassen(c_.state.last, c_.state.frame, c_.state.grid);
}

namespace {

// The resolution of the current map while a map view is shown; nothing otherwise.
std::optional<int> shownMapResolution(const AppState& state) {
    const DisplayMode view = state.frame.displayMode.load();
    const int current = state.mapView.CurrentRow;
    if ((view != DisplayMode::Karte && view != DisplayMode::Move) || current < 0 ||
        current >= static_cast<int>(state.maps.rows.size()))
        return std::nullopt;
    return state.maps.rows[static_cast<std::size_t>(current)].resolution;
}

}  // namespace

// Key "i": the next lower resolution than the current map's.
void MapController::selectMapAtZoom() {
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        const std::optional<int> resolution = shownMapResolution(c_.state);
        if (!resolution) return;
        const auto& rows = c_.state.maps.rows;
        int wanted = rows.front().resolution;
        for (const MapEntry& row : rows)
            if (row.resolution < *resolution) wanted = row.resolution;
        c_.state.mapView.WantedResolution = wanted;
    }
    if (c_.currentView() == DisplayMode::Karte) c_.window.command(cmd::KarteView);
    else if (!c_.gpsRunning()) c_.window.command(cmd::MoveView);
}

// Key "j": the next higher resolution among the maps that contain the view centre.
void MapController::selectMapAtPosition() {
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        const std::optional<int> resolution = shownMapResolution(c_.state);
        if (!resolution) return;
        const auto& rows = c_.state.maps.rows;
        const GridPoint centre{c_.state.frame.viewCentre.gridX, c_.state.frame.viewCentre.gridY};
        int wanted = rows.back().resolution;
        for (const MapEntry& row : rows) {
            if (row.resolution > *resolution && rowContainsPoint(row, centre)) {
                wanted = row.resolution;
                break;
            }
        }
        c_.state.mapView.WantedResolution = wanted;
    }
    if (c_.currentView() == DisplayMode::Karte) c_.window.command(cmd::KarteView);
    else if (!c_.gpsRunning()) c_.window.command(cmd::MoveView);
}

// Hardware key 3 held long: the other map directory becomes the current one.
bool MapController::swapMapDirectories() {
    std::string next;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        if (c_.state.frame.alternateMapDir.empty()) return false;
        std::swap(c_.state.frame.currentMapDir, c_.state.frame.alternateMapDir);
        next = c_.state.frame.currentMapDir;
        c_.state.settings.KartDir = next;
    }
    const TrackPoint centre = c_.state.frame.viewCentre;
    scanMapDirectory(next);
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.frame.viewCentre = centre;
    }
    refreshGridCoordinates();
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.views.composeMapView(c_.state.frame.viewCentre);
        c_.state.frame.lastShown = c_.state.frame.viewCentre;
    }
    return true;
}

void MapController::zoom(int id) {
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        applyZoomCommand(c_.state.frame, id);
    }
    if (c_.idle() || c_.currentView() == DisplayMode::Karte) c_.refreshWindow();
}

void MapController::toggleCalibration() {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    FrameState& frame = c_.state.frame;
    frame.calibrating = !frame.calibrating;
    if (frame.calibrating && frame.moveDisplayMode != 0) {
        frame.moveDisplayMode = 0;
        c_.window.menuBar().setStrip(applyMoveDisplayMode(frame));
    }
}

void MapController::toggleOverview() {
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        if (c_.state.mapView.CalibrationRow >= 0) return;
        FrameState& frame = c_.state.frame;
        frame.overview = frame.lastMapIndex >= 0 && !frame.overview;
        c_.state.mapView.WantedResolution = -1;
    }
    c_.window.command(cmd::KarteView);
}

void MapController::toggleOverlay(int id) {
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        bool& flag = id == cmd::ShowPois ? c_.state.frame.showPois : c_.state.frame.showRoutePoints;
        flag = !flag;
    }
    const DisplayMode view = c_.currentView();
    if (view == DisplayMode::Karte) c_.window.command(cmd::KarteView);
    if (view == DisplayMode::Move) c_.window.command(cmd::MoveView);
}

// Key "g": the current directory read again, the view where it was.
void MapController::rescanMapDirectory() {
    std::string directory;
    TrackPoint centre;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        directory = c_.state.frame.currentMapDir;
        centre = c_.state.frame.viewCentre;
    }
    if (directory.empty()) return;
    scanMapDirectory(directory);
    cornerCounter_ = 0;
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    c_.state.frame.viewCentre = centre;
    c_.views.composeMapView(centre);
    c_.state.frame.lastShown = centre;
}

// Key "n": the corners of every map in turn (top left, top right, bottom left, bottom right),
// with the map's number in the middle of the screen.
void MapController::showNextMapCorner() {
    int map = 0;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        const int rows = c_.state.frame.lastMapIndex + 1;
        if (rows <= 0 || rows > static_cast<int>(c_.state.maps.rows.size())) return;
        if (cornerCounter_ >= rows * 4) cornerCounter_ = 0;
        map = cornerCounter_ / 4;
        const MapEntry& row = c_.state.maps.rows[static_cast<std::size_t>(map)];
        const int corner = cornerCounter_ % 4;
        ++cornerCounter_;
        TrackPoint& shown = c_.state.frame.lastShown;
        shown.gridX = (corner == 0 || corner == 2) ? row.left : row.right;
        shown.gridY = corner < 2 ? row.top : row.bottom;
        c_.views.composeMapView(shown);
    }
    // Queued behind the frame, so that the number is written over it.
    postToUi(c_.window.dialogParent(), [this, map] { c_.window.frameView().setNotice(QString::number(map)); });
}

}  // namespace vexa
