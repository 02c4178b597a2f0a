#include "routes/poi_db.h"

#include <algorithm>

#include "util/diagnostic_text.h"
#include "geo/grid_refresh.h"
#include "platform/paths.h"
#include "geo/datum_code.h"
#include "routes/poi_record.h"
#include "util/number_scan.h"
#include "util/text.h"

namespace vexa {

std::filesystem::path defaultPoiVolume() { return vexaDir() / "vexapoi.cdb"; }

namespace {

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void fillGrid(PoiRecord& poi, const GridContext& grid) {
    const GridPoint g = refreshPoint(poi.lon, poi.lat, poi.datumCode, grid);
    poi.gridX = g.easting;
    poi.gridY = g.northing;
}

}  // namespace

double dmsDegrees(std::string_view text, std::size_t degreeDigits) {
    const auto part = [&](std::size_t from, std::size_t n) {
        return from < text.size() ? scanFloat(std::string(text.substr(from, n))) : 0.0f;
    };
    const float degrees = part(0, degreeDigits);
    const float minutes = part(degreeDigits, 2);
    const float seconds = part(degreeDigits + 2, std::string_view::npos);
    return degrees + minutes * 0.016666668f + seconds * 0.00027777778f;
}

bool ReadNextDBRecordPoi(DbContext& db, DbCursor& cursor, PoiTable& table, int index,
                         const std::filesystem::path& volume, const GridContext& grid) {
    std::optional<DbRecord> record;
    while ((record = cursor.next()) && record->texts.size() != kDbRecordTexts) {
    }
    if (!record) return false;
    const auto& t = record->texts;
    PoiRecord& poi = table.records[static_cast<std::size_t>(index)];
    poi = PoiRecord{};
    poi.dbPath = volume.string();
    poi.name = std::string(utf8Prefix(t[0], kPoiReadNameChars));
    poi.datumCode = t[1].empty() ? kDatumWgs84 : t[1][0];
    poi.oid = record->oid;
    poi.altitude = scanFloat(t[4]);
    if (poi.datumCode == kDatumDms) {
        poi.lon = dmsDegrees(t[2], 3);
        poi.lat = dmsDegrees(t[3], 2);
        poi.datumCode = kDatumWgs84;
    } else {
        poi.lon = scanFloat(t[2]);
        poi.lat = scanFloat(t[3]);
    }
    if (db.log.debugMode)
        AddNmeaListLine(db.log, strprintf("%d %s <%s> %7.5f %7.5f %4f", index, poi.name.c_str(), t[1].c_str(),
                                          poi.lon, poi.lat, poi.altitude));
    fillGrid(poi, grid);
    return true;
}

int CreateListPoiView(DbContext& db, PoiDb& pois, PoiTable& table, const GridContext& grid) {
    pois.selected = -1;
    DbListing listing;
    listing.poiCount = table.count;
    ListingDBVol(db, pois.currentVolume, listing);
    const int first = table.count;
    auto volume = MountDBVol(db, pois.currentVolume);
    if (!volume) return 0;
    const auto database = openDBstruct(db, *volume, kPoiDbName);
    if (!database) {
        UnMountDBVol(db, volume);
        return 0;
    }
    AllocPoiTab(table, static_cast<std::size_t>(listing.poiCount));
    if (pois.loadedVolumes.size() < kLoadedVolumesMax) pois.loadedVolumes.push_back(pois.currentVolume);
    const auto cursor = volume->read(*database);
    const int capacity = static_cast<int>(table.capacity());
    int index = first;
    while (index < capacity && ReadNextDBRecordPoi(db, *cursor, table, index, pois.currentVolume, grid)) {
        table.count = ++index;
        if ((index - first) % 50 == 0)
            AddNmeaListLine(db.log, strprintf("%d Pois von %d gelesen", index - first, listing.poiCount));
    }
    if (index == first) AddNmeaListLine(db.log, strprintf("POI-DB %s ist leer", pois.currentVolume.c_str()));
    CloseDB(db);
    UnMountDBVol(db, volume);
    return index - first;
}

DbOid WriteDBRecordPoi(DbContext& db, DbVolume& volume, DbOid database, PoiTable& table, const GridContext& grid,
                       std::string_view name, double lon, double lat, DbOid record) {
    const char code = datumCodeFor(grid);
    const DbOid oid = WriteDBRecord(db, volume, database, name, code, lon, lat, 0, record);
    if (oid == 0 || record != 0 || name.substr(0, 5) == "track") return oid;
    if (table.count >= static_cast<int>(table.capacity())) {
        AddNmeaListLine(db.log, "Zu viele neue Wegpunkte");
        return oid;
    }
    PoiRecord& poi = table.records[static_cast<std::size_t>(table.count++)];
    poi = PoiRecord{std::string(name), code, lon, lat, 0.0, 0.0, 0.0, oid, volume.path().string()};
    fillGrid(poi, grid);
    return oid;
}

namespace {

// Writes the POI `name` at `position` into the volume at `path`: over record `oid`, or as a
// new record when `oid` is 0 or that record has gone meanwhile (deleted, or the volume
// replaced). The written record's id, 0 when nothing was written.
DbOid writePoiAt(DbContext& db, const std::filesystem::path& path, PoiTable& table, const GridContext& grid,
                 std::string_view name, GridPoint position, DbOid oid) {
    auto volume = MountDBVol(db, path);
    if (!volume) return 0;
    const auto database = openDBstruct(db, *volume, kPoiDbName);
    DbOid written = 0;
    if (!database) {
        AddNmeaListLine(db.log, "Open DB failed");
    } else {
        const GeodeticPoint g = utm2llh(position, grid);
        written = WriteDBRecordPoi(db, *volume, *database, table, grid, name, g.longitude, g.latitude, oid);
        if (!written && oid != 0)
            written = WriteDBRecordPoi(db, *volume, *database, table, grid, name, g.longitude, g.latitude, 0);
        CloseDB(db);
    }
    UnMountDBVol(db, volume);
    return written;
}

}  // namespace

bool addPoi(DbContext& db, PoiDb& pois, PoiTable& table, const GridContext& grid, std::string_view enteredName,
            const std::filesystem::path& volumePath, GridPoint position) {
    const std::string name(utf8Prefix(enteredName, kPoiNameChars));
    if (name.empty()) return false;
    pois.currentVolume = volumePath.empty() ? defaultPoiVolume() : volumePath;
    return writePoiAt(db, pois.currentVolume, table, grid, name, position, 0) != 0;
}

void selectPoi(PoiDb& pois, const PoiTable& table, int index) {
    if (index < 0 || index >= table.count) return;
    const PoiRecord& poi = table.records[static_cast<std::size_t>(index)];
    pois.selected = index;
    pois.selectedName = poi.name;
    pois.selectedPosition = {poi.gridX, poi.gridY};
}

bool deleteSelectedPoi(DbContext& db, PoiDb& pois, PoiTable& table) {
    if (pois.selected < 0 || pois.selected >= table.count) return false;
    PoiRecord& poi = table.records[static_cast<std::size_t>(pois.selected)];
    if (poi.name == kDeletedPoiName || poi.dbPath == kPlaceDirectoryVolume) return false;
    auto volume = MountDBVol(db, poi.dbPath);
    if (!volume) return false;
    const auto database = openDBstruct(db, *volume, kPoiDbName);
    const bool deleted = database && volume->removeRecord(*database, poi.oid);
    AddNmeaListLine(db.log, deleted ? "Record deleted" : "Could not delete Record");
    if (deleted) {
        poi.name = kDeletedPoiName;
        pois.selected = -1;
    }
    if (database) CloseDB(db);
    UnMountDBVol(db, volume);
    return deleted;
}

bool PoiDbReset(DbContext& db, PoiDb& pois, PoiTable& table, const GridContext& grid) {
    pois.currentVolume = defaultPoiVolume();
    auto volume = MountDBVol(db, pois.currentVolume);
    if (!volume) {
        ReportMountFailure(db, __LINE__, pois.currentVolume);
        return false;
    }
    DbListing listing;
    if (!ListDB(db, *volume, listing)) CreateDB(db, *volume, kPoiDbName);
    UnMountDBVol(db, volume);
    pois.loadedVolumes.clear();
    table.records.clear();
    table.count = 0;
    CreateListPoiView(db, pois, table, grid);
    return true;
}

int findLastPos(const PoiTable& table) {
    for (int i = 0; i < table.count; ++i)
        if (lower(table.records[static_cast<std::size_t>(i)].name) == "zlastpos") return i;
    return -1;
}

bool UpdateLastPos(DbContext& db, PoiTable& table, const GridContext& grid, GridPoint position) {
    DbOid oid = 0;
    for (int i = 0; i < table.count; ++i) {
        const PoiRecord& poi = table.records[static_cast<std::size_t>(i)];
        if (poi.name == kLastPosName) {
            oid = poi.oid;
            break;
        }
    }
    return writePoiAt(db, defaultPoiVolume(), table, grid, kLastPosName, position, oid) != 0;
}

bool storeMovedPoi(DbContext& db, PoiTable& table, const GridContext& grid, int index) {
    if (index < 0 || index >= table.count) return false;
    PoiRecord& poi = table.records[static_cast<std::size_t>(index)];
    auto volume = MountDBVol(db, poi.dbPath);
    if (!volume) return false;
    const auto database = openDBstruct(db, *volume, kPoiDbName);
    DbOid written = 0;
    if (database) {
        const GeodeticPoint g = utm2llh({poi.gridX, poi.gridY}, grid);
        poi.lon = g.longitude;
        poi.lat = g.latitude;
        poi.datumCode = datumCodeFor(grid);
        const std::string name = poi.name;  // the write may grow the table
        written = WriteDBRecordPoi(db, *volume, *database, table, grid, name, g.longitude, g.latitude, poi.oid);
        CloseDB(db);
    }
    UnMountDBVol(db, volume);
    return written != 0;
}

}  // namespace vexa
