// The map directory: read at the first activation, chosen in the tree, scanned with progress.
#include <filesystem>

#include <QApplication>
#include <QProgressBar>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/map_controller.h"
#include "app/dialog_flag.h"
#include "app/map_directory_dialog.h"
#include "app/window_options.h"
#include "frame/settings_store.h"
#include "maps/map_catalogue.h"
#include "maps/map_selection.h"
#include "platform/paths.h"
#include "routes/grid_refresh_tables.h"

namespace vexa {

// Scans `directory` into the map table under a wait cursor; returns the last row's index.
// With a progress bar the window keeps painting while a large folder is read.
int MapController::scanMapDirectory(const std::string& directory, QProgressBar* progressBar) {
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
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.diagnostics.setCurrentOperation("fill_karte_tab");
        MapScanContext context{c_.state.maps, c_.state.grid, c_.state.frame, c_.state.diagnostics, c_.ui,
                               c_.state.settings.KartDir,
                               c_.state.trace.empty() && c_.state.route.count == 0};
        last = fill_karte_tab(context, directory, progress);
        c_.state.frame.lastMapIndex = last;
        c_.state.frame.currentMapDir = directory;
        if (last >= 0) firstStartHint_ = false;
        onMapDirectoryChosen(c_.state.mapView);
        if (last < 0) {
            c_.state.frame.mapScale = 200;
            c_.state.frame.overview = false;
        }
    }
    QApplication::restoreOverrideCursor();
    return last;
}

// "Karten Verzeichnis": a folder chosen in the tree is scanned and, holding maps, kept.
void MapController::openMapDirectory() {
    c_.window.fullscreenOff();
    std::string current;
    int count = 0;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        current = c_.state.frame.currentMapDir;
        count = c_.state.frame.lastMapIndex + 1;
        // Hardware key 3 goes back to the directory used before.
        if (!current.empty()) c_.state.frame.alternateMapDir = current;
    }
    MapDirectoryDialog::Actions actions;
    actions.scan = [this](const std::string& folder, QProgressBar& bar) {
        const int found = scanMapDirectory(folder, &bar) + 1;
        if (found == 0) AddNmeaListLine(c_.state.diagnostics, "Keine Karten in " + folder);
        return found;
    };
    actions.keep = [this](const std::string& folder) {
        RegCreateKartdir(c_.store, folder);
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.settings.KartDir = folder;
    };
    actions.withoutMaps = [this] {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        const std::uint64_t generation = c_.state.maps.generation;
        c_.state.maps = MapTable{};
        c_.state.maps.generation = generation + 1;  // the decoded images go with the rows
        c_.state.frame.lastMapIndex = -1;
        c_.state.frame.mapScale = 200;
        c_.state.frame.overview = false;
        c_.state.mapView.CurrentRow = -1;
        endCalibration(c_.state.mapView);
    };
    MapDirectoryDialog dialog(current, count, std::move(actions), myDocumentsDir().string(), c_.window.dialogParent());
    c_.window.applyTitle("Karten Verzeichnis");
    {
        DialogFlag flag(c_.state.frame);
        c_.window.runDialog(dialog);
    }
    c_.window.applyTitle("VEXA");
    c_.refreshWindow();
}

// First activation: the map directory given on the command line, else the stored one.
void MapController::loadMapDirectory() {
    std::string directory;
    bool known = false;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.frame.firstActivation = false;
        known = RegQueryKartdir(c_.store, c_.state.settings.KartDir);
        directory = c_.state.settings.KartDir;
    }
    if (c_.options.maps) {
        directory = c_.options.maps->string();
        known = true;
    }
    std::error_code error;
    const bool missing = known && !directory.empty() && !std::filesystem::is_directory(directory, error);
    if (missing)
        c_.ui.messageBox("Kartenverzeichnis nicht gefunden: " + directory, "vexa", MessageButtons::Ok,
                         MessageIcon::None);
    if (!known || directory.empty() || missing) {
        // Without a map directory the maps stay empty until one is chosen; the map views say so.
        firstStartHint_ = true;
        c_.window.fullscreenOff();
        c_.refreshWindow();
        return;
    }
    c_.window.command(cmd::NmeaView);
    if (scanMapDirectory(directory) < 0) {
        c_.ui.messageBox("Es sind keine Karten verfügbar", "vexa", MessageButtons::Ok, MessageIcon::None);
        c_.window.fullscreenOff();
    }
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    if (c_.state.frame.lastMapIndex >= 0 && c_.state.trace.empty() && c_.state.route.count == 0) {
        // No position yet at start: over the middle of the maps (a stored last position follows).
        const GridPoint centre = mapCollectionCentre(c_.state.maps);
        c_.state.frame.viewCentre.gridX = centre.easting;
        c_.state.frame.viewCentre.gridY = centre.northing;
        c_.state.frame.lastShown = c_.state.frame.viewCentre;
    }
    if (c_.state.pois.count > 0) {
        PoiTab_Anpassen(c_.state.pois, c_.state.grid);
        if (c_.state.frame.lastMapIndex == -1) {
            c_.state.frame.viewCentre.gridX = c_.state.pois.records[0].gridX;
            c_.state.frame.viewCentre.gridY = c_.state.pois.records[0].gridY;
            c_.state.frame.lastShown = c_.state.frame.viewCentre;
        }
    }
}

}  // namespace vexa
