// The route readers chosen by a file's extension, as "EmulateStart/Import" and vexa-convert
// use them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/input_file.h"
#include "routes/poi_record.h"

namespace vexa {

struct ImportTarget;

// "kml", "kmz", "ovl" and "gpx" in any letter case.
bool isRouteFileExtension(std::string_view extension);

struct RouteFileContent {
    bool route = false;                // the route was replaced and holds points
    std::vector<PoiRecord> waypoints;  // GPX waypoints, or the Points of a KML without lines; WGS84
};

// Runs the reader for the extension over the file's bytes (for "kmz" the KML document
// unpacked from it).
RouteFileContent ImportRouteFile(std::string_view extension, std::string_view bytes, ImportTarget& target);

// The bytes a route reader takes: the whole file, or the KML document inside a KMZ archive;
// only regular files up to the input limit (see platform/input_file.h).
InputFile readRouteFile(const std::filesystem::path& file);

// The file's extension without its dot, in lower case: "kml", "gpx", "csv", …
std::string fileFormatOf(const std::filesystem::path& file);

}  // namespace vexa
