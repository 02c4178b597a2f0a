#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <string_view>

#include "geo/datum.h"
#include "geo/grid.h"
#include "tools/maps/map_folder_commands.h"

namespace vexa {

namespace {

constexpr const char* kUsage =
    "usage: vexa-maps info DIR\n"
    "\n"
    "Reads the map folder DIR as the program reads its map directory and prints its grid and\n"
    "zone, the maps per resolution, the area they cover (grid units and WGS84 degrees) and the\n"
    "map files it leaves out, with the reason.\n"
    "Exit status: 0 done, 1 the folder cannot be read, 2 wrong command line.\n";

struct Bounds {
    double west = std::numeric_limits<double>::infinity();
    double south = std::numeric_limits<double>::infinity();
    double east = -std::numeric_limits<double>::infinity();
    double north = -std::numeric_limits<double>::infinity();

    void add(double x, double y) {
        west = std::min(west, x);
        east = std::max(east, x);
        south = std::min(south, y);
        north = std::max(north, y);
    }
};

GeodeticPoint gridToWgs84(GridPoint g, const GridContext& grid) {
    const GeodeticPoint p = utm2llh(g, grid);
    if (!grid.LocalDatumGrid || grid.MercatorGrid || grid.PlateCarreeGrid) return p;
    return localToWgs84(p.longitude, p.latitude, grid);
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The catalogue's log lines about maps it did not take, in English.
void printLeftOut(const std::vector<std::string>& log) {
    constexpr std::string_view kOtherZone = " wird nicht benutzt, anderer UTM STreifen";
    constexpr std::string_view kBadName = " wird nicht benutzt, Name ungueltig";
    constexpr std::string_view kHybrid = "Hybrid-Karte ";
    constexpr std::string_view kDuplicate = " doppelt";
    constexpr std::string_view kUsed = " wird benutzt";
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const std::string_view line = log[i];
        if (endsWith(line, kOtherZone)) {
            lines.push_back(std::string(line.substr(0, line.size() - kOtherZone.size())) +
                            ": another zone or strip than the first map's");
        } else if (endsWith(line, kBadName)) {
            lines.push_back(std::string(line.substr(0, line.size() - kBadName.size())) +
                            ": its name does not place it on the grid");
        } else if (line.starts_with(kHybrid)) {
            lines.push_back(std::string(line.substr(kHybrid.size())) + ": a hybrid map (zone 1) in a Mercator folder");
        } else if (endsWith(line, kDuplicate) && i > 0 && endsWith(log[i - 1], kUsed)) {
            const std::string_view used = std::string_view(log[i - 1]).substr(0, log[i - 1].size() - kUsed.size());
            lines.push_back(std::string(line.substr(0, line.size() - kDuplicate.size())) +
                            ": the same map in two image formats, the ." + std::string(used) + " one is used");
        }
    }
    std::printf("left out: %zu\n", lines.size());
    for (const std::string& line : lines) std::printf("  %s\n", line.c_str());
}

}  // namespace

int runInfoCommand(int argc, char** argv) {
    const std::string directory = folderArguments("info", argc, argv, 1, kUsage).front();
    const std::optional<MapFolder> folder = readFolderOrSay("info", directory);
    if (!folder) return 1;
    const GridContext& grid = folder->grid;

    std::printf("folder: %s\n", directory.c_str());
    std::printf("grid: %s\n", gridDescription(grid, !folder->table.empty()).c_str());
    std::printf("maps: %zu\n", folder->table.rows.size());
    std::map<int, int> perResolution;
    Bounds onGrid, wgs84;
    for (const MapEntry& row : folder->table.rows) {
        ++perResolution[row.resolution];
        onGrid.add(row.left, row.top);
        onGrid.add(row.right, row.bottom);
        for (const GridPoint corner : {GridPoint{row.left, row.top}, GridPoint{row.right, row.top},
                                       GridPoint{row.left, row.bottom}, GridPoint{row.right, row.bottom}}) {
            const GeodeticPoint p = gridToWgs84(corner, grid);
            wgs84.add(p.longitude, p.latitude);
        }
    }
    for (const auto& [resolution, count] : perResolution)
        std::printf("  resolution %d (pixels per 1000 grid units): %d\n", resolution, count);
    if (!folder->table.empty()) {
        std::printf("grid bounds (west south east north): %.10g %.10g %.10g %.10g\n", onGrid.west, onGrid.south,
                    onGrid.east, onGrid.north);
        std::printf("WGS84 bounds (west south east north): %.6f %.6f %.6f %.6f\n", wgs84.west, wgs84.south,
                    wgs84.east, wgs84.north);
    }
    printLeftOut(folder->log);
    return 0;
}

}  // namespace vexa
