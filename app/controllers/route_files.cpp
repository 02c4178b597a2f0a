// Route files in and out of the window: the import branch of "EmulateStart/Import" for KML,
// KMZ, OVL and GPX files, and "Route -> Overlay und KML".
#include <memory>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/route_controller.h"
#include "exchange/export_files.h"
#include "exchange/route_file_import.h"
#include "exchange/route_import.h"
#include "geo/grid_refresh.h"
#include "gps/gps_session.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "util/text.h"

namespace vexa {

bool RouteController::importRouteFile(const std::filesystem::path& file, const std::string& extension) {
    if (!isRouteFileExtension(extension)) return false;
    c_.ui.setWindowTitle(file.filename().string());
    const InputFile input = extension != "kmz" ? read_EmulFile(c_.session, file) : readRouteFile(file);
    if (!input) {
        c_.ui.messageBox(unreadableFileMessage(file, input), "EmulateStart/Import", MessageButtons::Ok,
                         MessageIcon::Error);
        return true;
    }
    // Read into a table of its own: the readers' messages are modal, and the state is not
    // held across a dialog.
    GridContext grid;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        grid = c_.state.grid;
    }
    auto route = std::make_unique<RouteTable>();
    ImportTarget target{*route, grid, c_.ui, c_.state.diagnostics};
    c_.ui.setWaitCursor(true);
    RouteFileContent content = ImportRouteFile(extension, input.bytes, target);
    c_.ui.setWaitCursor(false);

    // A waypoint file (GPX, or KML of Points) leaves the route alone.
    const bool replaced = content.route || (extension != "gpx" && content.waypoints.empty());
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        if (replaced) c_.state.route = *route;
        // Waypoints join the POI table of this session.
        PoiTable& pois = c_.state.pois;
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
        if (c_.state.route.count > 0 && content.route) {
            c_.state.frame.viewCentre.gridX = c_.state.route.points[0].gridX;
            c_.state.frame.viewCentre.gridY = c_.state.route.points[0].gridY;
            c_.state.frame.lastShown = c_.state.frame.viewCentre;
        }
    }
    if (!content.waypoints.empty())
        AddNmeaListLine(c_.state.diagnostics, strprintf("%zu POIs aus %s", content.waypoints.size(),
                                                        file.filename().c_str()));
    if (content.route) c_.window.command(cmd::KarteView);
    return true;
}

void RouteController::exportRoute() { exportRouteNamed(routeExportName(c_.state.clock.localNow()), nullptr); }

void RouteController::exportRouteNamed(const std::string& name, const Progress* bar) {
    c_.state.diagnostics.setCurrentOperation("ExportRoute");
    std::unique_ptr<RouteTable> route;
    GridContext grid;
    std::filesystem::path folder;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        route = std::make_unique<RouteTable>(c_.state.route);
        grid = c_.state.grid;
        folder = logDirectory(c_.state.settings.LogDir);
        c_.state.frame.selectedRoutePoint = -1;
    }
    StatusExportProgress progress(c_.window, bar);
    ExportContext context{grid, c_.ui, c_.state.diagnostics, folder, &progress};
    int selected = -1;
    c_.ui.setWaitCursor(true);
    ExportRoute(*route, selected, name, context);
    c_.ui.setWaitCursor(false);
    c_.window.applyStatusText("");
}

}  // namespace vexa
