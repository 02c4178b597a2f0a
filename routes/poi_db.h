// The POI database: volumes that each hold one database "VEXAPOI", read into the in-memory
// POI table volume by volume; adding, deleting, the reset to the default volume and the last
// position kept as the POI "zLastPos".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "geo/grid.h"
#include "routes/db_primitives.h"

namespace vexa {

struct GridContext;
struct PoiTable;

inline constexpr std::string_view kLastPosName = "zLastPos";
inline constexpr std::size_t kLoadedVolumesMax = 64;
inline constexpr std::size_t kPoiReadNameChars = 127;

std::filesystem::path defaultPoiVolume();

struct PoiDb {
    std::filesystem::path currentVolume = defaultPoiVolume();
    std::vector<std::filesystem::path> loadedVolumes;  // in loading order
    int selected = -1;
    std::string selectedName;
    GridPoint selectedPosition;
};

// Reads the current volume's POIs after those already in the table (room for 100 more is
// made). Returns the number of POIs read.
int CreateListPoiView(DbContext& db, PoiDb& pois, PoiTable& table, const GridContext& grid);
// One record into table entry `index`; false when no record could be read.
bool ReadNextDBRecordPoi(DbContext& db, DbCursor& cursor, PoiTable& table, int index,
                         const std::filesystem::path& volume, const GridContext& grid);
// A degrees-minutes-seconds text: `degreeDigits` digits of degrees, two of minutes, then
// seconds (decimals allowed).
double dmsDegrees(std::string_view text, std::size_t degreeDigits);

// WriteDBRecord for a POI: a new record (oid 0) whose name does not begin with "track" is also
// appended to the table when there is room ("Zu viele neue Wegpunkte" otherwise).
DbOid WriteDBRecordPoi(DbContext& db, DbVolume& volume, DbOid database, PoiTable& table, const GridContext& grid,
                       std::string_view name, double lon, double lat, DbOid record);

// "Add POI": writes a POI at the grid position into the chosen volume (the default volume
// when none was chosen), which becomes the current one. False when nothing was written.
bool addPoi(DbContext& db, PoiDb& pois, PoiTable& table, const GridContext& grid, std::string_view name,
            const std::filesystem::path& volume, GridPoint position);
// A click on a row of the POI list.
void selectPoi(PoiDb& pois, const PoiTable& table, int index);
// "Delete" in the POI list: removes the selected POI from its volume; its name becomes
// "-deleted-". POIs of the place directory are not deleted.
bool deleteSelectedPoi(DbContext& db, PoiDb& pois, PoiTable& table);
// "POI-DB Reset": back to the default volume (created with its database when missing), the
// table emptied and read again.
bool PoiDbReset(DbContext& db, PoiDb& pois, PoiTable& table, const GridContext& grid);
// Writes the grid position as the POI "zLastPos" of the default volume, over the old record
// when the table knows it.
bool UpdateLastPos(DbContext& db, PoiTable& table, const GridContext& grid, GridPoint position);
// A POI of the default volume moved on the map: its new grid position is written to its
// record as WGS84 latitude and longitude. False when the volume or database cannot be opened.
bool storeMovedPoi(DbContext& db, PoiTable& table, const GridContext& grid, int index);
// The table entry named "zlastpos" in any case, or -1.
int findLastPos(const PoiTable& table);

}  // namespace vexa
