// The POI and route database commands, the place directory, the CSV import and the last
// position kept at "GPS Stop".
#include <QEventLoop>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <thread>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/dialog_flag.h"
#include "app/main_window.h"
#include "app/place_dialog.h"
#include "app/poi_dialogs.h"
#include "app/route_dialogs.h"
#include "app/state_lock.h"
#include "display/position_text.h"
#include "gps/trip_reset.h"
#include "platform/input_file.h"
#include "platform/linux/sqlite_db_store.h"
#include "platform/paths.h"
#include "routes/place_directory.h"
#include "routes/poi_import.h"
#include "routes/poi_record.h"
#include "routes/route_geometry.h"
#include "routes/route_hits.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr const char* kPoiDbFilter = "POI Datenbank (*.cdb);;All Files (*.*)";
constexpr const char* kRouteDbFilter = "Routen Datenbank (*.cdb);;All Files (*.*)";

PoiPositionTexts describePosition(GridPoint position, const GridContext& grid) {
    const char* prefix = grid.MercatorGrid ? "MP " : (grid.LocalDatumGrid && !grid.Ed50Datum) ? "GK" : "UTM";
    const GeodeticPoint g = utm2llh(position, grid);
    std::string geo;
    fillGeomsg(geo, 1, g.longitude, g.latitude, g.longitude < 0 ? "W" : "E", g.latitude < 0 ? "S" : "N");
    return {strprintf("%s %1.0f %1.0f", prefix, position.easting, position.northing), "GEO " + geo};
}

}  // namespace

DbContext MainWindow::dbContext() { return DbContext{*dbStore_, state_.diagnostics, ui_}; }

void MainWindow::setExporters(RouteExporter route, PoiExporter pois) {
    exportRoute_ = std::move(route);
    exportPois_ = std::move(pois);
}

bool MainWindow::databaseCommand(int id) {
    switch (id) {
    case cmd::ListPois: openPoiList(); break;
    case cmd::AddPoi: addPoiAtCentre(); break;
    case cmd::PoiDbChoice: choosePoiVolume(); break;
    case cmd::PoiDbReset: resetPoiDb(); break;
    case cmd::RouteListByName: openRouteList(false); break;
    case cmd::RouteListByDate: openRouteList(true); break;
    case cmd::RouteSave: saveRoute(); break;
    case cmd::OtherRouteDb: chooseRouteVolume(); break;
    case cmd::PlaceDirectory: openPlaceDirectory(); break;
    default: return false;
    }
    return true;
}

// ---- POIs ----

void MainWindow::openPoiList() {
    PoiListDialog::Actions actions;
    DbContext db = dbContext();
    actions.select = [this](int index) {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        selectPoi(state_.poiDb, state_.pois, index);
    };
    actions.remove = [this, &db] {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        return deleteSelectedPoi(db, state_.poiDb, state_.pois);
    };
    actions.exportPois = [this](const Progress& progress) { if (exportPois_) exportPois_(progress); };
    actions.columnClick = [this] { AddNmeaListLine(state_.diagnostics, "LVN_COLUMNCLICK"); };
    int result = QDialog::Rejected;
    {
        DialogFlag flag(state_.frame);
        PoiListDialog dialog(state_.pois, state_.poiDb, std::move(actions), this);
        result = runDialog(dialog);
    }
    fullscreenOff();
    bool chosen = false;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        PoiDb& pois = state_.poiDb;
        chosen = result == QDialog::Accepted && pois.selected >= 0 && pois.selectedName != kDeletedPoiName;
        if (chosen) {
            state_.frame.viewCentre.gridX = pois.selectedPosition.easting;
            state_.frame.viewCentre.gridY = pois.selectedPosition.northing;
            state_.frame.lastShown = state_.frame.viewCentre;
        } else {
            pois.selected = -1;
        }
    }
    if (chosen) command(cmd::KarteView);
    else RefreshWindow();
}

void MainWindow::addPoiAtCentre() {
    if (currentView() != DisplayMode::Karte) return;
    std::string name;
    GridPoint position;
    GridContext grid;
    std::vector<std::filesystem::path> volumes;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        const FrameState& frame = state_.frame;
        const int scale = frame.lastMapIndex >= 0 ? frame.mapScale : 200;
        const ViewProjection view = projectionAt(frame, frame.viewCentre.gridX, frame.viewCentre.gridY, scale);
        const TapWindow window{frame.screen.width, frame.screen.height};
        const int hit = checkPoiHit(state_.pois, view, window, window.width / 2, window.height / 2);
        name = hit >= 0 ? state_.pois.records[static_cast<std::size_t>(hit)].name
                        : strprintf("poi%04d", state_.pois.count);
        position = {frame.viewCentre.gridX, frame.viewCentre.gridY};
        grid = state_.grid;
        volumes = state_.poiDb.loadedVolumes;
    }
    int result = QDialog::Rejected;
    std::string entered;
    std::filesystem::path volume;
    {
        DialogFlag flag(state_.frame);
        AddPoiDialog dialog(name, volumes, position, [grid](GridPoint p) { return describePosition(p, grid); }, this);
        result = runDialog(dialog);
        entered = dialog.name()->text().toStdString();
        volume = dialog.chosenVolume();
    }
    fullscreenOff();
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.frame.viewCentre.gridX = position.easting;  // the scroll bars moved the centre itself
        state_.frame.viewCentre.gridY = position.northing;
        if (result == QDialog::Accepted) {
            DbContext db = dbContext();
            addPoi(db, state_.poiDb, state_.pois, state_.grid, entered, volume, position);
        }
    }
    command(cmd::KarteView);
}

std::optional<std::filesystem::path> MainWindow::chooseVolumeFile(const char* title, const char* filter) {
    const auto file = ui_.openFileName({title, myDocumentsDir(), "", filter});
    if (!file) RefreshWindow();
    return file;
}

void MainWindow::choosePoiVolume() {
    const auto file = chooseVolumeFile("POI-DB Auswahl", kPoiDbFilter);
    if (!file) return;
    command(cmd::NmeaView);
    ui_.setWaitCursor(true);
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.poiDb.currentVolume = *file;
        DbContext db = dbContext();
        CreateListPoiView(db, state_.poiDb, state_.pois, state_.grid);
    }
    ui_.setWaitCursor(false);
    openPoiList();
}

void MainWindow::resetPoiDb() {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    DbContext db = dbContext();
    if (!PoiDbReset(db, state_.poiDb, state_.pois, state_.grid)) return;
    FrameState& frame = state_.frame;
    if (state_.pois.count > 0 && frame.lastMapIndex == -1) {
        frame.viewCentre.gridX = state_.pois.records[0].gridX;
        frame.viewCentre.gridY = state_.pois.records[0].gridY;
        frame.lastShown = frame.viewCentre;
    }
}

void MainWindow::storeLastPosition() {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    DbContext db = dbContext();
    UpdateLastPos(db, state_.pois, state_.grid, {state_.frame.viewCentre.gridX, state_.frame.viewCentre.gridY});
}

// The import runs on its own thread while the window shows its progress and stays usable;
// its messages reach the user through the Ui like any worker's.
bool MainWindow::importCsv(const std::filesystem::path& file) {
    state_.frame.replaying = false;
    command(cmd::NmeaView);
    InputFile text = readInputFile(file);
    if (!text) {
        ui_.messageBox(unreadableFileMessage(file, text), "Import Error", MessageButtons::Ok, MessageIcon::Error);
        return true;
    }
    QProgressDialog progress(QString::fromStdString("POI Import " + file.filename().string()), QString(), 0, 100, this);
    progress.setWindowTitle("Import");
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(300);
    std::atomic<int> percent{0};
    std::atomic<bool> done{false};
    std::optional<std::filesystem::path> volume;
    std::thread worker([&, bytes = std::move(text.bytes)] {
        DbContext db = dbContext();
        volume = ImportDB(db, bytes, file, [&](int p) { percent = p; });
        done = true;
    });
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [&] {
        progress.setValue(percent.load());
        if (done.load()) loop.quit();
    });
    ui_.setWaitCursor(true);
    poll.start(30);
    loop.exec();
    worker.join();
    ui_.setWaitCursor(false);
    progress.reset();
    if (volume) {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.poiDb.currentVolume = *volume;
    }
    return true;
}

// ---- routes ----

void MainWindow::openRouteList(bool byDate) {
    DbContext db = dbContext();
    bool listed = false;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        listed = CreateListRoutenView(db, state_.routeDb, byDate);
    }
    bool loaded = false;
    if (listed) {
        RouteListDialog::Actions actions;
        actions.select = [this](int entry) {
            StateLock lock(state_.stateMutex, uiHoldsState_);
            selectRouteEntry(state_.routeDb, state_.route, entry);
        };
        actions.load = [this, &db, &loaded](const Progress& progress) {
            StateLock lock(state_.stateMutex, uiHoldsState_);
            const std::string& name = state_.route.name;
            if (name.empty() || name == kDeletedRouteName) return false;
            loaded = loadNamedRoute(db, state_.routeDb, state_.route, state_.grid, progress);
            return true;
        };
        actions.exportRoute = [this, &db](const Progress& progress) {
            if (!exportRoute_) return;
            std::string name;
            {
                StateLock lock(state_.stateMutex, uiHoldsState_);
                name = state_.route.name;
                if (name.empty() || name == kDeletedRouteName) return;
                ClearRoute(state_.route);
                RestartTripDistance(state_.gps);
                loadNamedRoute(db, state_.routeDb, state_.route, state_.grid, progress);
            }
            exportRoute_(name, progress);
        };
        actions.remove = [this, &db] {
            StateLock lock(state_.stateMutex, uiHoldsState_);
            return deleteSelectedRoute(db, state_.routeDb);
        };
        actions.columnClick = [this] { AddNmeaListLine(state_.diagnostics, "LVN_COLUMNCLICK"); };
        DialogFlag flag(state_.frame);
        RouteListDialog dialog(state_.routeDb, std::move(actions), this);
        runDialog(dialog);
    }
    fullscreenOff();
    if (loaded) {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        FrameState& frame = state_.frame;
        frame.viewCentre.gridX = state_.route.points[0].gridX;
        frame.viewCentre.gridY = state_.route.points[0].gridY;
        frame.lastShown = frame.viewCentre;
    }
    command(cmd::KarteView);
}

void MainWindow::saveRoute() {
    if (reportMissingRoute(cmd::RouteSave)) return;
    std::string name;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        name = state_.route.name;
    }
    {
        DialogFlag flag(state_.frame);
        RouteSaveDialog dialog(name, [this](const std::string& entered, const Progress& progress) {
            StateLock lock(state_.stateMutex, uiHoldsState_);
            setGarminTrackName(state_.garmin, entered);  // the saved name also names the Garmin track
            DbContext db = dbContext();
            const RouteSave saved = DlgRouteSpeichern(db, state_.routeDb, state_.route, state_.grid, entered, progress);
            if (saved == RouteSave::Saved) state_.route.name = std::string(utf8Prefix(entered, kRouteNameChars));
            return saved;
        }, this);
        runDialog(dialog);
    }
    fullscreenOff();
    command(cmd::KarteView);
}

void MainWindow::chooseRouteVolume() {
    const auto file = chooseVolumeFile("Andere Routen DB", kRouteDbFilter);
    if (!file) return;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.routeDb.volumePath = *file;
    }
    command(cmd::RouteListByName);
}

// ---- place directory ----

void MainWindow::openPlaceDirectory() {
    if (places_.empty()) {
        std::string error;
        places_ = loadPlaceTable(placeTableFile(), &error);
        if (places_.empty()) {
            ui_.messageBox("Das Ortsverzeichnis kann nicht gelesen werden: " + error, "Orts Verzeichnis",
                           MessageButtons::Ok, MessageIcon::Error);
            return;
        }
    }
    PlaceDialog dialog(places_, placeIndex_, this);
    if (runDialog(dialog) == QDialog::Accepted && dialog.selectedIndex() >= 0) {
        placeIndex_ = dialog.selectedIndex();
        StateLock lock(state_.stateMutex, uiHoldsState_);
        choosePlace(places_[static_cast<std::size_t>(placeIndex_)], state_.pois, state_.grid, state_.frame, state_.last);
    }
    command(cmd::KarteView);
}

}  // namespace vexa
