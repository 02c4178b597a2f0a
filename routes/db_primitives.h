// The volume, database and record primitives shared by the route and POI databases. Each
// writes its line to the diagnostic text; mount failures also tell the user why, in German.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db_volume.h"

namespace vexa {

class DiagnosticText;
class Ui;

inline constexpr std::uint32_t kRouteDbType = 19500;  // 0x4C2C
inline constexpr int kSortProperty = 1;
inline constexpr std::string_view kPoiDbName = "VEXAPOI";

// What the primitives need: the store, the diagnostic text and the user.
struct DbContext {
    DbStore& store;
    DiagnosticText& log;
    Ui& ui;
};

// One route database of a listed volume.
struct RouteEntry {
    std::string name;
    int records = 0;
    std::int64_t modifiedMs = 0;
    DbOid oid = 0;
    bool deleted = false;  // its row shows "-deleted-"
};

// What ListDB found: the POI database's record count and the route databases.
struct DbListing {
    int poiCount = 0;
    std::vector<RouteEntry> routes;
    std::size_t routeCapacity = 10000;  // listing stops here
};

// Mounts the volume file, creating it when missing. Null on failure ("Could not open database
// volume"), after a message box that says why; `refusal`, if given, then holds why.
std::unique_ptr<DbVolume> MountDBVol(DbContext& db, const std::filesystem::path& file, DbFailure* refusal = nullptr);
void UnMountDBVol(DbContext& db, std::unique_ptr<DbVolume>& volume);
// Creates a database of type 19500 sorted by property 1, and the folder of VEXA's files.
DbCreate CreateDB(DbContext& db, DbVolume& volume, std::string_view name);
std::optional<DbOid> openDBstruct(DbContext& db, DbVolume& volume, std::string_view name);
void CloseDB(DbContext& db);
// Hands every database of the volume to ListDBInfo; true when there was at least one.
bool ListDB(DbContext& db, DbVolume& volume, DbListing& listing);
bool ListDBInfo(DbContext& db, DbVolume& volume, DbOid oid, DbListing& listing);
// ListDB on a volume file that must exist; false when it cannot be opened (`reason`, if
// given, then says why unless the file is missing).
bool ListingDBVol(DbContext& db, const std::filesystem::path& file, DbListing& listing, std::string* reason = nullptr);
// Writes a point record: name, datum code, longitude and latitude as "%7.5f", value as "%d".
// Record 0 appends; returns the record's oid, 0 on failure ("Record write failed").
DbOid WriteDBRecord(DbContext& db, DbVolume& volume, DbOid database, std::string_view name, char datumCode,
                    double lon, double lat, int value, DbOid record);

// The failure of a mount, with the last system error, as the callers report it.
void ReportMountFailure(DbContext& db, int sourceLine, const std::filesystem::path& file);

}  // namespace vexa
