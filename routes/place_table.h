// The town table of the place directory: names and WGS84 positions of German places, read
// from the tab-separated text file shipped in data/places/ (places.tsv).
//
// File layout (UTF-8, line-feed or CR-LF endings):
//   name<TAB>longitude<TAB>latitude      header, exactly this
//   Aachen<TAB>6.08342<TAB>50.77664      one place a line, degrees as decimal numbers
// Every name is non-empty, has no control characters and is representable in Latin-1 (the
// 8-bit character set the list shows). Rows keep the file's order.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vexa {

struct Place {
    std::string name;  // UTF-8
    double lon = 0.0;  // WGS84 degrees, east positive
    double lat = 0.0;  // WGS84 degrees, north positive
};

// All places of the file, or an empty table when the file is missing, unreadable, has the
// wrong header, holds no places or has a single bad line; `error` (if given) then says why
// and where, and is cleared on success.
std::vector<Place> loadPlaceTable(const std::filesystem::path& file, std::string* error = nullptr);

}  // namespace vexa
