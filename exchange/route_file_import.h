// The route readers chosen by a file's extension, as "EmulateStart/Import" and vexa-convert
// use them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "routes/poi_record.h"

namespace vexa {

struct ImportTarget;

// "kml", "kmz", "ovl" and "gpx" in any letter case.
bool isRouteFileExtension(std::string_view extension);

struct RouteFileContent {
    bool route = false;                // the route was replaced and holds points
    std::vector<PoiRecord> waypoints;  // GPX waypoints, WGS84
};

// Runs the reader for the extension over the file's bytes (for "kmz" the KML document
// unpacked from it).
RouteFileContent ImportRouteFile(std::string_view extension, std::string_view bytes, ImportTarget& target);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> readWholeFile(const std::filesystem::path& file);

// The bytes a route reader takes: the whole file, or the KML document inside a KMZ archive.
std::optional<std::string> readRouteFile(const std::filesystem::path& file);

// The file's extension without its dot, in lower case: "kml", "gpx", "csv", …
std::string fileFormatOf(const std::filesystem::path& file);

}  // namespace vexa
