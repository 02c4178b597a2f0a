// The POI commands and the place directory.
#include <QEventLoop>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <thread>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/poi_controller.h"
#include "app/dialog_flag.h"
#include "app/place_dialog.h"
#include "app/poi_dialogs.h"
#include "display/position_text.h"
#include "exchange/export_files.h"
#include "platform/clock.h"
#include "platform/input_file.h"
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

PoiPositionTexts describePosition(GridPoint position, const GridContext& grid) {
    const char* prefix = grid.MercatorGrid ? "MP " : (grid.LocalDatumGrid && !grid.Ed50Datum) ? "GK" : "UTM";
    const GeodeticPoint g = utm2llh(position, grid);
    std::string geo;
    fillGeomsg(geo, 1, g.longitude, g.latitude, g.longitude < 0 ? "W" : "E", g.latitude < 0 ? "S" : "N");
    return {strprintf("%s %1.0f %1.0f", prefix, position.easting, position.northing), "GEO " + geo};
}

}  // namespace

bool PoiController::handles(int id) const {
    return id == cmd::ListPois || id == cmd::AddPoi || id == cmd::PoiDbChoice || id == cmd::PoiDbReset ||
           id == cmd::PlaceDirectory;
}

void PoiController::run(int id) {
    switch (id) {
    case cmd::ListPois: openPoiList(); break;
    case cmd::AddPoi: addPoiAtCentre(); break;
    case cmd::PoiDbChoice: choosePoiVolume(); break;
    case cmd::PoiDbReset: resetPoiDb(); break;
    case cmd::PlaceDirectory: openPlaceDirectory(); break;
    }
}

void PoiController::openPoiList() {
    PoiListDialog::Actions actions;
    DbContext db = c_.dbContext();
    actions.select = [this](int index) {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        selectPoi(c_.state.poiDb, c_.state.pois, index);
    };
    actions.remove = [this, &db] {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        return deleteSelectedPoi(db, c_.state.poiDb, c_.state.pois);
    };
    actions.exportPois = [this](const Progress& progress) { exportPoiTable(&progress); };
    actions.columnClick = [this] { AddNmeaListLine(c_.state.diagnostics, "LVN_COLUMNCLICK"); };
    int result = QDialog::Rejected;
    {
        DialogFlag flag(c_.state.frame);
        PoiListDialog dialog(c_.state.pois, c_.state.poiDb, std::move(actions), c_.window.dialogParent());
        result = c_.window.runDialog(dialog);
    }
    c_.window.fullscreenOff();
    bool chosen = false;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        PoiDb& pois = c_.state.poiDb;
        chosen = result == QDialog::Accepted && pois.selected >= 0 && pois.selectedName != kDeletedPoiName;
        if (chosen) {
            c_.state.frame.viewCentre.gridX = pois.selectedPosition.easting;
            c_.state.frame.viewCentre.gridY = pois.selectedPosition.northing;
            c_.state.frame.lastShown = c_.state.frame.viewCentre;
        } else {
            pois.selected = -1;
        }
    }
    if (chosen) c_.window.command(cmd::KarteView);
    else c_.refreshWindow();
}

void PoiController::addPoiAtCentre() {
    if (c_.currentView() != DisplayMode::Karte) return;
    std::string name;
    GridPoint position;
    GridContext grid;
    std::vector<std::filesystem::path> volumes;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        const FrameState& frame = c_.state.frame;
        const int scale = frame.lastMapIndex >= 0 ? frame.mapScale : 200;
        const ViewProjection view = projectionAt(frame, frame.viewCentre.gridX, frame.viewCentre.gridY, scale);
        const TapWindow window{frame.screen.width, frame.screen.height};
        const int hit = checkPoiHit(c_.state.pois, view, window, window.width / 2, window.height / 2);
        name = hit >= 0 ? c_.state.pois.records[static_cast<std::size_t>(hit)].name
                        : strprintf("poi%04d", c_.state.pois.count);
        position = {frame.viewCentre.gridX, frame.viewCentre.gridY};
        grid = c_.state.grid;
        volumes = c_.state.poiDb.loadedVolumes;
    }
    int result = QDialog::Rejected;
    std::string entered;
    std::filesystem::path volume;
    {
        DialogFlag flag(c_.state.frame);
        AddPoiDialog dialog(
            name, volumes, position, [grid](GridPoint p) { return describePosition(p, grid); },
            c_.window.dialogParent());
        result = c_.window.runDialog(dialog);
        entered = dialog.name()->text().toStdString();
        volume = dialog.chosenVolume();
    }
    c_.window.fullscreenOff();
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.frame.viewCentre.gridX = position.easting;  // the scroll bars moved the centre itself
        c_.state.frame.viewCentre.gridY = position.northing;
        if (result == QDialog::Accepted) {
            DbContext db = c_.dbContext();
            addPoi(db, c_.state.poiDb, c_.state.pois, c_.state.grid, entered, volume, position);
        }
    }
    c_.window.command(cmd::KarteView);
}

void PoiController::choosePoiVolume() {
    const auto file = c_.chooseVolumeFile("POI-DB Auswahl", kPoiDbFilter);
    if (!file) return;
    c_.window.command(cmd::NmeaView);
    c_.ui.setWaitCursor(true);
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.poiDb.currentVolume = *file;
        DbContext db = c_.dbContext();
        CreateListPoiView(db, c_.state.poiDb, c_.state.pois, c_.state.grid);
    }
    c_.ui.setWaitCursor(false);
    openPoiList();
}

void PoiController::resetPoiDb() {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    DbContext db = c_.dbContext();
    if (!PoiDbReset(db, c_.state.poiDb, c_.state.pois, c_.state.grid)) return;
    FrameState& frame = c_.state.frame;
    if (c_.state.pois.count > 0 && frame.lastMapIndex == -1) {
        frame.viewCentre.gridX = c_.state.pois.records[0].gridX;
        frame.viewCentre.gridY = c_.state.pois.records[0].gridY;
        frame.lastShown = frame.viewCentre;
    }
}

// The import runs on its own thread while the window shows its progress and stays usable;
// its messages reach the user through the Ui like any worker's.
bool PoiController::importCsv(const std::filesystem::path& file) {
    c_.state.frame.replaying = false;
    c_.window.command(cmd::NmeaView);
    InputFile text = readInputFile(file);
    if (!text) {
        c_.ui.messageBox(unreadableFileMessage(file, text), "Import Error", MessageButtons::Ok, MessageIcon::Error);
        return true;
    }
    QProgressDialog progress(QString::fromStdString("POI Import " + file.filename().string()), QString(), 0, 100,
                             c_.window.dialogParent());
    progress.setWindowTitle("Import");
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(300);
    std::atomic<int> percent{0};
    std::atomic<bool> done{false};
    std::optional<std::filesystem::path> volume;
    std::thread worker([&, bytes = std::move(text.bytes)] {
        DbContext db = c_.dbContext();
        volume = ImportDB(db, bytes, file, [&](int p) { percent = p; });
        done = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        progress.setValue(percent.load());
        if (done.load()) loop.quit();
    });
    c_.ui.setWaitCursor(true);
    poll.start(30);
    loop.exec();
    worker.join();
    c_.ui.setWaitCursor(false);
    progress.reset();
    if (volume) {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.poiDb.currentVolume = *volume;
    }
    return true;
}

void PoiController::openPlaceDirectory() {
    if (places_.empty()) {
        std::string error;
        places_ = loadPlaceTable(placeTableFile(), &error);
        if (places_.empty()) {
            c_.ui.messageBox("Das Ortsverzeichnis kann nicht gelesen werden: " + error, "Orts Verzeichnis",
                             MessageButtons::Ok, MessageIcon::Error);
            return;
        }
    }
    PlaceDialog dialog(places_, placeIndex_, c_.window.dialogParent());
    if (c_.window.runDialog(dialog) == QDialog::Accepted && dialog.selectedIndex() >= 0) {
        placeIndex_ = dialog.selectedIndex();
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        choosePlace(places_[static_cast<std::size_t>(placeIndex_)], c_.state.pois, c_.state.grid, c_.state.frame,
                    c_.state.last);
    }
    c_.window.command(cmd::KarteView);
}


void PoiController::exportPoiTable(const Progress* bar) {
    c_.state.diagnostics.setCurrentOperation("ExportPOIs");
    PoiTable pois;
    GridContext grid;
    std::filesystem::path folder;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        pois = c_.state.pois;
        grid = c_.state.grid;
        folder = logDirectory(c_.state.settings.LogDir);
    }
    StatusExportProgress progress(c_.window, bar);
    ExportContext context{grid, c_.ui, c_.state.diagnostics, folder, &progress};
    c_.ui.setWaitCursor(true);
    ExportPOIs(pois, c_.state.clock.localNow(), context);
    c_.ui.setWaitCursor(false);
    c_.window.applyStatusText("");
}

}  // namespace vexa
