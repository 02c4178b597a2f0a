// Route files in and out of the window: the import branch of "EmulateStart/Import" for KML,
// KMZ, OVL and GPX files, and "Route -> Overlay und KML".
#include <memory>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/state_lock.h"
#include "exchange/export_files.h"
#include "exchange/export_format.h"
#include "exchange/route_file_import.h"
#include "exchange/route_import.h"
#include "geo/grid_refresh.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "util/text.h"

namespace vexa {

namespace {

// The export's screen text goes to the status line, its progress to the list dialog's bar
// (command 40153 has none).
class WindowExportProgress : public ExportProgress {
public:
    WindowExportProgress(MainWindow& window, const Progress* bar) : window_(window), bar_(bar) {}
    void setPercent(int percent) override {
        if (bar_ && *bar_) (*bar_)(percent);
    }
    void showText(std::string_view text) override { window_.applyStatusText(std::string(text)); }

private:
    MainWindow& window_;
    const Progress* bar_;
};

}  // namespace

bool MainWindow::importRouteFile(const std::filesystem::path& file, const std::string& extension) {
    if (!isRouteFileExtension(extension)) return false;
    ui_.setWindowTitle(file.filename().string());
    const InputFile input = extension != "kmz" ? read_EmulFile(session_, file) : readRouteFile(file);
    if (!input) {
        ui_.messageBox(unreadableFileMessage(file, input), "EmulateStart/Import", MessageButtons::Ok,
                       MessageIcon::Error);
        return true;
    }
    // Read into a table of its own: the readers' messages are modal, and the state is not
    // held across a dialog.
    GridContext grid;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        grid = state_.grid;
    }
    auto route = std::make_unique<RouteTable>();
    ImportTarget target{*route, grid, ui_, state_.diagnostics};
    ui_.setWaitCursor(true);
    RouteFileContent content = ImportRouteFile(extension, input.bytes, target);
    ui_.setWaitCursor(false);

    // A waypoint file (GPX, or KML of Points) leaves the route alone.
    const bool replaced = content.route || (extension != "gpx" && content.waypoints.empty());
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        if (replaced) state_.route = *route;
        // Waypoints join the POI table of this session.
        PoiTable& pois = state_.pois;
        if (!content.waypoints.empty()) {
            AllocPoiTab(pois, static_cast<std::size_t>(pois.count) + content.waypoints.size());
            for (PoiRecord& poi : content.waypoints) {
                poi.dbPath = file.string();
                const GridPoint g = refreshPoint(poi.lon, poi.lat, poi.datumCode, grid);
                poi.gridX = g.easting;
                poi.gridY = g.northing;
                pois.records[static_cast<std::size_t>(pois.count++)] = std::move(poi);
            }
        }
        if (state_.route.count > 0 && content.route) {
            state_.frame.viewCentre.gridX = state_.route.points[0].gridX;
            state_.frame.viewCentre.gridY = state_.route.points[0].gridY;
            state_.frame.lastShown = state_.frame.viewCentre;
        }
    }
    if (!content.waypoints.empty())
        AddNmeaListLine(state_.diagnostics, strprintf("%zu POIs aus %s", content.waypoints.size(),
                                                      file.filename().c_str()));
    if (content.route) command(cmd::KarteView);
    return true;
}

void MainWindow::exportRoute() { exportRouteNamed(routeExportName(state_.clock.localNow()), nullptr); }

void MainWindow::exportRouteNamed(const std::string& name, const Progress* bar) {
    state_.diagnostics.setCurrentOperation("ExportRoute");
    std::unique_ptr<RouteTable> route;
    GridContext grid;
    std::filesystem::path folder;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        route = std::make_unique<RouteTable>(state_.route);
        grid = state_.grid;
        folder = logDirectory(state_.settings.LogDir);
        state_.frame.selectedRoutePoint = -1;
    }
    WindowExportProgress progress(*this, bar);
    ExportContext context{grid, ui_, state_.diagnostics, folder, &progress};
    int selected = -1;
    ui_.setWaitCursor(true);
    ExportRoute(*route, selected, name, context);
    ui_.setWaitCursor(false);
    applyStatusText("");
}

void MainWindow::exportPoiTable(const Progress* bar) {
    state_.diagnostics.setCurrentOperation("ExportPOIs");
    PoiTable pois;
    GridContext grid;
    std::filesystem::path folder;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        pois = state_.pois;
        grid = state_.grid;
        folder = logDirectory(state_.settings.LogDir);
    }
    WindowExportProgress progress(*this, bar);
    ExportContext context{grid, ui_, state_.diagnostics, folder, &progress};
    ui_.setWaitCursor(true);
    ExportPOIs(pois, state_.clock.localNow(), context);
    ui_.setWaitCursor(false);
    applyStatusText("");
}

}  // namespace vexa
