// A point of interest and the in-memory POI table that holds the POIs of every loaded volume.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "geo/track_point.h"

namespace vexa {

inline constexpr std::size_t kPoiNameChars = 63;     // wchar[64] with terminator
inline constexpr std::size_t kPoiSpareRecords = 100;  // room for POIs added while running
inline constexpr std::string_view kDeletedPoiName = "-deleted-";
inline constexpr std::string_view kPlaceDirectoryVolume = "Ortsverzeichnis";

struct PoiRecord {
    std::string name;
    char datumCode = kDatumWgs84;   // '2', '0', '3' ('1' is converted when read)
    double lon = 0.0;
    double lat = 0.0;
    double altitude = 0.0;
    double gridX = 0.0;             // in the grid in force
    double gridY = 0.0;
    std::uint32_t oid = 0;          // record id in its database
    std::string dbPath;             // the volume it came from
};

struct PoiTable {
    std::vector<PoiRecord> records;  // records.size() is the capacity
    int count = 0;

    std::size_t capacity() const { return records.size(); }
};

// Makes room for `poisInLoadedVolumes` + 100 records, keeping the entries read so far;
// new entries are empty.
void AllocPoiTab(PoiTable& table, std::size_t poisInLoadedVolumes);

}  // namespace vexa
