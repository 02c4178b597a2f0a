#include "routes/route_db.h"

#include <algorithm>

#include "util/diagnostic_text.h"
#include "geo/grid.h"
#include "geo/grid_refresh.h"
#include "routes/grid_refresh_tables.h"
#include "platform/paths.h"
#include "platform/ui.h"
#include "geo/datum_code.h"
#include "routes/route_table.h"
#include "util/number_scan.h"
#include "util/text.h"

namespace vexa {

std::filesystem::path defaultRouteVolume() { return vexaDir() / "vexatrack.cdb"; }

namespace {

void tellFailure(DbContext& db, DbVolume& volume, std::string_view routeName, DbFailure* failure) {
    if (failure) *failure = volume.failure();
    const std::string name(routeName);
    db.ui.messageBox(strprintf("Die Route %s wurde nicht gespeichert.\n%s", name.c_str(), volume.error().c_str()),
                     "Speichern Route", MessageButtons::Ok, MessageIcon::Error);
}

// "Route überschreiben ?" answered OK: the old route goes, a new empty one takes its name.
bool replaceDatabase(DbContext& db, DbVolume& volume, std::string_view name) {
    const auto old = openDBstruct(db, volume, name);
    if (old) CloseDB(db);
    if (!old || !volume.remove(*old)) {
        AddNmeaListLine(db.log, "Could not delete Database");
        return false;
    }
    if (CreateDB(db, volume, name) != DbCreate::Created) {
        AddNmeaListLine(db.log, "Could not create Database");
        return false;
    }
    return true;
}

// More points than a load takes: it stops at the limit, and says so.
bool overLoadLimit(int start, int records) { return start + records > kRouteLoadLimit; }

}  // namespace

RouteSave DlgRouteSpeichern(DbContext& db, const RouteDb& routes, const RouteTable& route, const GridContext& grid,
                            std::string_view enteredName, const Progress& progress, DbFailure* failure) {
    const std::string name(utf8Prefix(enteredName, kRouteNameChars));
    if (name.empty()) return RouteSave::Closed;
    auto volume = MountDBVol(db, routes.volumePath, failure);
    if (!volume) {
        ReportMountFailure(db, __LINE__, routes.volumePath);
        return RouteSave::Closed;
    }
    // The whole save is one transaction: a crash leaves the old route or the new one.
    if (!volume->begin()) {
        tellFailure(db, *volume, name, failure);
        return RouteSave::Closed;
    }
    DbCreate created = CreateDB(db, *volume, name);
    const bool replacing = created == DbCreate::Exists;
    if (replacing) {
        volume->rollback();  // nobody waits for our lock while the user decides
        if (db.ui.messageBox("Route überschreiben ?", name, MessageButtons::OkCancel) != Answer::Ok) {
            UnMountDBVol(db, volume);
            return RouteSave::KeepOpen;
        }
        if (!volume->begin()) {
            tellFailure(db, *volume, name, failure);
            return RouteSave::Closed;
        }
        created = CreateDB(db, *volume, name);
        if (created == DbCreate::Exists && replaceDatabase(db, *volume, name)) created = DbCreate::Created;
    }
    const auto database = created == DbCreate::Created ? openDBstruct(db, *volume, name) : std::nullopt;
    if (database && RouteSpeichern(db, *volume, *database, route, grid, progress) && volume->commit()) {
        CloseDB(db);
        UnMountDBVol(db, volume);
        return replacing ? RouteSave::Replaced : RouteSave::Saved;
    }
    tellFailure(db, *volume, name, failure);
    volume->rollback();
    UnMountDBVol(db, volume);
    return RouteSave::Closed;
}

bool RouteSpeichern(DbContext& db, DbVolume& volume, DbOid database, const RouteTable& route,
                    const GridContext& grid, const Progress& progress) {
    if (progress) progress(0);
    const char code = datumCodeFor(grid);
    const int count = std::min(route.count, kRouteCapacity);
    for (int i = 0; i < count; ++i) {
        const TrackPoint& p = route.points[static_cast<std::size_t>(i)];
        const GeodeticPoint g = storedPointToWgs84(p.gridX, p.gridY, p.datumCode, grid);
        if (!WriteDBRecord(db, volume, database, strprintf("track%04d", i), code, g.longitude, g.latitude,
                           static_cast<int>(p.lineKind), 0))
            return false;
        if (progress) progress((i + 1) * 100 / count);
    }
    return true;
}

bool CreateListRoutenView(DbContext& db, RouteDb& routes, bool byDate) {
    routes.selected = -1;
    routes.entries.clear();
    DbListing listing;
    std::string reason;
    ListingDBVol(db, routes.volumePath, listing, &reason);
    if (!reason.empty()) {
        db.ui.messageBox(reason, "Routen Anzeige", MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    if (listing.routes.empty()) {
        db.ui.messageBox("Keine Routen in DB vorhanden", "");
        return false;
    }
    routes.entries = std::move(listing.routes);
    if (byDate)
        std::stable_sort(routes.entries.begin(), routes.entries.end(),
                         [](const RouteEntry& a, const RouteEntry& b) { return a.modifiedMs < b.modifiedMs; });
    else
        std::stable_sort(routes.entries.begin(), routes.entries.end(),
                         [](const RouteEntry& a, const RouteEntry& b) { return a.name < b.name; });
    return true;
}

void selectRouteEntry(RouteDb& routes, RouteTable& route, int index) {
    if (index < 0 || index >= static_cast<int>(routes.entries.size())) return;
    routes.selected = index;
    route.name = routes.entries[static_cast<std::size_t>(index)].name;
}

bool ReadNextDBTrackRecord(DbContext& db, DbCursor& cursor, RouteTable& route, int index, const GridContext& grid) {
    const auto record = cursor.next();
    if (!record) {
        if (index == 0) AddNmeaListLine(db.log, "Could not read record");
        return false;
    }
    const auto& t = record->texts;
    if (t.size() != kDbRecordTexts) return true;  // skipped, but counts as read
    AddDebugLine(db.log, strprintf("%s %s %s %s %s", t[0].c_str(), t[1].c_str(), t[2].c_str(), t[3].c_str(),
                                   t[4].c_str()));
    TrackPoint& p = route.points[static_cast<std::size_t>(index)];
    p.lon = scanFloat(t[2]);
    p.lat = scanFloat(t[3]);
    const GridPoint g = llh2utm(p.lon, p.lat, 1, grid);
    p.gridX = g.easting;
    p.gridY = g.northing;
    p.altitude = 0;
    p.datumCode = kDatumWgs84;
    const int kind = scanInt(t[4]);
    p.lineKind = kind >= 0 && kind <= static_cast<int>(LineKind::NotDrawn) ? static_cast<LineKind>(kind) : LineKind::Blue;
    return true;
}

int LoadRoute(DbContext& db, DbCursor& cursor, int records, RouteTable& route, const GridContext& grid,
              const Progress& progress) {
    const int start = route.count;
    if (overLoadLimit(start, records))
        db.ui.messageBox(strprintf("Es werden nur %d Punkte geladen", kRouteLoadLimit - start), "itrackmax");
    int slot = start;
    for (int k = 0; slot < kRouteLoadLimit; ++k, ++slot) {
        if (k >= 1 && progress && records > 0) progress(std::min(100, (start + k + 1) * 100 / records));
        if (!ReadNextDBTrackRecord(db, cursor, route, slot, grid)) break;
    }
    return slot;
}

bool loadNamedRoute(DbContext& db, RouteDb& routes, RouteTable& route, const GridContext& grid,
                    const Progress& progress, RouteLoadReport* report) {
    RouteLoadReport unasked;
    RouteLoadReport& told = report ? *report : unasked;
    const auto failed = [&](RouteLoadFailure why) {
        told.failure = why;
        return false;
    };
    if (route.name.empty() || route.name == kDeletedRouteName) return failed(RouteLoadFailure::NoSuchRoute);
    auto volume = MountDBVol(db, routes.volumePath, &told.volume);
    if (!volume) return failed(RouteLoadFailure::VolumeRefused);  // MountDBVol has said why
    const auto database = openDBstruct(db, *volume, route.name);
    const auto info = database ? volume->info(*database) : std::nullopt;
    if (!info) {
        // No such route in a volume that lists its routes; otherwise the volume cannot be read
        // (damaged), which the user is told as the write path tells it.
        const std::string error = volume->error();
        told.volume = volume->failure();
        const bool missing = !database && volume->databases().has_value();
        if (!missing)
            db.ui.messageBox(strprintf("Die Route %s kann nicht gelesen werden.\n%s", route.name.c_str(), error.c_str()),
                             "Route laden", MessageButtons::Ok, MessageIcon::Error);
        UnMountDBVol(db, volume);
        return failed(missing ? RouteLoadFailure::NoSuchRoute : RouteLoadFailure::Unreadable);
    }
    const auto cursor = volume->read(*database);
    const int before = route.count;
    told.cut = overLoadLimit(before, info->records);
    route.count = LoadRoute(db, *cursor, info->records, route, grid, progress);
    CloseDB(db);
    UnMountDBVol(db, volume);
    track_utm_Anpassen(route, grid);
    return route.count > before || failed(RouteLoadFailure::Empty);
}

bool deleteSelectedRoute(DbContext& db, RouteDb& routes) {
    if (routes.selected < 0 || routes.selected >= static_cast<int>(routes.entries.size())) return false;
    RouteEntry& entry = routes.entries[static_cast<std::size_t>(routes.selected)];
    auto volume = MountDBVol(db, routes.volumePath);
    if (!volume) return false;
    const auto database = openDBstruct(db, *volume, entry.name);
    if (database) CloseDB(db);
    const bool deleted = database && *database == entry.oid && volume->remove(entry.oid);
    AddNmeaListLine(db.log, deleted ? "Database deleted" : "Could not delete Database");
    if (deleted) entry.deleted = true;
    UnMountDBVol(db, volume);
    return deleted;
}

}  // namespace vexa
