// The map directory and map choice as the commands and keys use them.
#include <filesystem>
#include <optional>

#include <QApplication>
#include <QProgressBar>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/dialog_flag.h"
#include "app/map_directory_dialog.h"
#include "app/main_window.h"
#include "app/state_lock.h"
#include "geo/grid_refresh.h"
#include "routes/grid_refresh_tables.h"
#include "maps/map_catalogue.h"
#include "maps/map_selection.h"
#include "platform/paths.h"

namespace vexa {

// Scans `directory` into the map table under a wait cursor; returns the last row's index.
// With a progress bar the window keeps painting while a large folder is read.
int MainWindow::scanMapDirectory(const std::string& directory, QProgressBar* progressBar) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int last = -1;
    MapScanProgress progress;
    if (progressBar) {
        progress.setProgress = [progressBar](int percent) {
            if (progressBar->value() == percent) return;
            progressBar->setValue(percent);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    }
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.diagnostics.setCurrentOperation("fill_karte_tab");
        MapScanContext context{state_.maps, state_.grid, state_.frame, state_.diagnostics, ui_,
                               state_.settings.KartDir,
                               state_.trace.empty() && state_.route.count == 0};
        last = fill_karte_tab(context, directory, progress);
        state_.frame.lastMapIndex = last;
        state_.frame.currentMapDir = directory;
        if (last >= 0) firstStartHint_ = false;
        onMapDirectoryChosen(state_.mapView);
        if (last < 0) {
            state_.frame.mapScale = 200;
            state_.frame.overview = false;
        }
    }
    QApplication::restoreOverrideCursor();
    return last;
}

// "Karten Verzeichnis": a folder chosen in the tree is scanned and, holding maps, kept.
void MainWindow::openMapDirectory() {
    fullscreenOff();
    std::string current;
    int count = 0;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        current = state_.frame.currentMapDir;
        count = state_.frame.lastMapIndex + 1;
        // Hardware key 3 goes back to the directory used before.
        if (!current.empty()) state_.frame.alternateMapDir = current;
    }
    MapDirectoryDialog::Actions actions;
    actions.scan = [this](const std::string& folder, QProgressBar& bar) {
        const int found = scanMapDirectory(folder, &bar) + 1;
        if (found == 0) AddNmeaListLine(state_.diagnostics, "Keine Karten in " + folder);
        return found;
    };
    actions.keep = [this](const std::string& folder) {
        RegCreateKartdir(store_, folder);
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.settings.KartDir = folder;
    };
    actions.withoutMaps = [this] {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        const std::uint64_t generation = state_.maps.generation;
        state_.maps = MapTable{};
        state_.maps.generation = generation + 1;  // the decoded images go with the rows
        state_.frame.lastMapIndex = -1;
        state_.frame.mapScale = 200;
        state_.frame.overview = false;
        state_.mapView.CurrentRow = -1;
        endCalibration(state_.mapView);
    };
    MapDirectoryDialog dialog(current, count, std::move(actions), myDocumentsDir().string(), this);
    applyTitle("Karten Verzeichnis");
    {
        DialogFlag flag(state_.frame);
        runDialog(dialog);
    }
    applyTitle("VEXA");
    RefreshWindow();
}

// First activation: the map directory given on the command line, else the stored one.
void MainWindow::loadMapDirectory() {
    std::string directory;
    bool known = false;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.frame.firstActivation = false;
        known = RegQueryKartdir(store_, state_.settings.KartDir);
        directory = state_.settings.KartDir;
    }
    if (options_.maps) {
        directory = options_.maps->string();
        known = true;
    }
    std::error_code error;
    const bool missing = known && !directory.empty() && !std::filesystem::is_directory(directory, error);
    if (missing)
        ui_.messageBox("Kartenverzeichnis nicht gefunden: " + directory, "vexa", MessageButtons::Ok,
                       MessageIcon::None);
    if (!known || directory.empty() || missing) {
        // Without a map directory the maps stay empty until one is chosen; the map views say so.
        firstStartHint_ = true;
        fullscreenOff();
        RefreshWindow();
        return;
    }
    command(cmd::NmeaView);
    if (scanMapDirectory(directory) < 0) {
        ui_.messageBox("Es sind keine Karten verfügbar", "vexa", MessageButtons::Ok, MessageIcon::None);
        fullscreenOff();
    }
    StateLock lock(state_.stateMutex, uiHoldsState_);
    if (state_.frame.lastMapIndex >= 0 && state_.trace.empty() && state_.route.count == 0) {
        // No position yet at start: over the middle of the maps (a stored last position follows).
        const GridPoint centre = mapCollectionCentre(state_.maps);
        state_.frame.viewCentre.gridX = centre.easting;
        state_.frame.viewCentre.gridY = centre.northing;
        state_.frame.lastShown = state_.frame.viewCentre;
    }
    if (state_.pois.count > 0) {
        PoiTab_Anpassen(state_.pois, state_.grid);
        if (state_.frame.lastMapIndex == -1) {
            state_.frame.viewCentre.gridX = state_.pois.records[0].gridX;
            state_.frame.viewCentre.gridY = state_.pois.records[0].gridY;
            state_.frame.lastShown = state_.frame.viewCentre;
        }
    }
}

// The stored points follow a grid change: POIs, route, trace (each when it has points) and
// the last position.
void MainWindow::refreshGridCoordinates() {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    if (state_.pois.count > 0) PoiTab_Anpassen(state_.pois, state_.grid);
    if (state_.route.count > 0) track_utm_Anpassen(state_.route, state_.grid);
    if (!state_.trace.empty()) trace_utm_Anpassen(state_.trace, state_.settings.itracemax, state_.grid);
    last_utm_Anpassen(state_.last, state_.frame, state_.grid);
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
void MainWindow::selectMapAtZoom() {
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        const std::optional<int> resolution = shownMapResolution(state_);
        if (!resolution) return;
        const auto& rows = state_.maps.rows;
        int wanted = rows.front().resolution;
        for (const MapEntry& row : rows)
            if (row.resolution < *resolution) wanted = row.resolution;
        state_.mapView.WantedResolution = wanted;
    }
    if (currentView() == DisplayMode::Karte) command(cmd::KarteView);
    else if (!gpsRunning()) command(cmd::MoveView);
}

// Key "j": the next higher resolution among the maps that contain the view centre.
void MainWindow::selectMapAtPosition() {
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        const std::optional<int> resolution = shownMapResolution(state_);
        if (!resolution) return;
        const auto& rows = state_.maps.rows;
        const GridPoint centre{state_.frame.viewCentre.gridX, state_.frame.viewCentre.gridY};
        int wanted = rows.back().resolution;
        for (const MapEntry& row : rows) {
            if (row.resolution > *resolution && rowContainsPoint(row, centre)) {
                wanted = row.resolution;
                break;
            }
        }
        state_.mapView.WantedResolution = wanted;
    }
    if (currentView() == DisplayMode::Karte) command(cmd::KarteView);
    else if (!gpsRunning()) command(cmd::MoveView);
}

// Hardware key 3 held long: the other map directory becomes the current one.
bool MainWindow::swapMapDirectories() {
    std::string next;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        if (state_.frame.alternateMapDir.empty()) return false;
        std::swap(state_.frame.currentMapDir, state_.frame.alternateMapDir);
        next = state_.frame.currentMapDir;
        state_.settings.KartDir = next;
    }
    const TrackPoint centre = state_.frame.viewCentre;
    scanMapDirectory(next);
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.frame.viewCentre = centre;
    }
    refreshGridCoordinates();
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        views_.composeMapView(state_.frame.viewCentre);
        state_.frame.lastShown = state_.frame.viewCentre;
    }
    return true;
}

void MainWindow::openLogByKey() {
    std::string logDir;
    if (!RegQueryLogdir(store_, logDir)) return;
    OpenLogFile(state_.log, state_.settings, store_, ui_, state_.diagnostics, state_.clock,
                logDirectory(logDir), false);
}

}  // namespace vexa
