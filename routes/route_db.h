// The route database: routes saved by name into a volume, one database per route and one
// record per point, listed by name or date, loaded into the route table, deleted.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "routes/db_primitives.h"

namespace vexa {

struct GridContext;
struct RouteTable;

inline constexpr std::size_t kRouteNameChars = 31;
inline constexpr int kRouteLoadLimit = 3999;  // points a load fills the table up to
inline constexpr std::string_view kDeletedRouteName = "-deleted-";

// Sets a progress bar to 0..100.
using Progress = std::function<void(int percent)>;

std::filesystem::path defaultRouteVolume();

struct RouteDb {
    std::filesystem::path volumePath = defaultRouteVolume();
    std::vector<RouteEntry> entries;   // the list as last shown
    int selected = -1;
};

// The save dialog's OK. Saved, Replaced (a route of that name, the user agreeing) and Closed
// close the dialog; KeepOpen when the user declined to overwrite an existing route. A save
// that failed is Closed, with why in `failure` when given.
enum class RouteSave { Saved, Replaced, KeepOpen, Closed };
// The route is in the volume: saved new or in place of the one of its name.
inline bool routeStored(RouteSave result) { return result == RouteSave::Saved || result == RouteSave::Replaced; }
RouteSave DlgRouteSpeichern(DbContext& db, const RouteDb& routes, const RouteTable& route, const GridContext& grid,
                            std::string_view name, const Progress& progress, DbFailure* failure = nullptr);
// Writes every point of the route as a record (WGS84 longitude and latitude, line kind).
bool RouteSpeichern(DbContext& db, DbVolume& volume, DbOid database, const RouteTable& route,
                    const GridContext& grid, const Progress& progress);

// Lists the volume's routes sorted by name or by date (oldest first). False, after the message
// "Keine Routen in DB vorhanden", when there are none.
bool CreateListRoutenView(DbContext& db, RouteDb& routes, bool byDate);
// A click on a row: its name goes into the name buffer.
void selectRouteEntry(RouteDb& routes, RouteTable& route, int index);

// Why a route was not loaded: the volume was refused (its mount said why), there is no route
// of that name, the volume could not be read (the user was told why), or the route holds no
// point that could be read.
enum class RouteLoadFailure { VolumeRefused, NoSuchRoute, Unreadable, Empty };

// What a load tells besides its result: why nothing was loaded, with the volume's reason when
// it was refused or unreadable; and whether the route had more points than the load took.
struct RouteLoadReport {
    RouteLoadFailure failure{};
    DbFailure volume;
    bool cut = false;
};

// "Load": appends the route named by the name buffer; the grid coordinates are brought up to
// date afterwards. Returns false when nothing was loaded, with the reason in `report`.
bool loadNamedRoute(DbContext& db, RouteDb& routes, RouteTable& route, const GridContext& grid,
                    const Progress& progress, RouteLoadReport* report = nullptr);
// Reads `records` records into the route after its last point, at most up to 3999 points.
int LoadRoute(DbContext& db, DbCursor& cursor, int records, RouteTable& route, const GridContext& grid,
              const Progress& progress);
// One record into route slot `index`; false when no record could be read.
bool ReadNextDBTrackRecord(DbContext& db, DbCursor& cursor, RouteTable& route, int index, const GridContext& grid);
// "Delete": removes the selected route's database; its row then shows "-deleted-".
bool deleteSelectedRoute(DbContext& db, RouteDb& routes);

}  // namespace vexa
