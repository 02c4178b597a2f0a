#include <cstdio>
#include <filesystem>

#include "tools/maps/map_folder_commands.h"
#include "tools/tool_command_line.h"
#include "util/text.h"

namespace vexa {

std::vector<std::string> folderArguments(const char* command, int argc, char** argv, std::size_t maxArguments,
                                         const char* usage) {
    const ToolCommandLine commandLine(std::string("vexa-maps ") + command, usage);
    std::vector<std::string> args = commandLine.read({}, argc, argv).operands;
    if (args.empty() || args.size() > maxArguments) commandLine.wrong(maxArguments == 1 ? "give DIR" : "give DIR and perhaps OUT");
    return args;
}

std::optional<MapFolder> readFolderOrSay(const char* command, const std::string& directory) {
    std::error_code error;
    if (!std::filesystem::is_directory(directory, error)) {
        std::fprintf(stderr, "vexa-maps %s: %s: no such folder\n", command, directory.c_str());
        return std::nullopt;
    }
    MapFolder folder = readMapFolder(directory);
    if (!folder.named) {
        std::fprintf(stderr,
                     "vexa-maps %s: %s: the folder's name holds no grid (_utm, _ute, _gk, _mp, _mg, _qpk, "
                     "_rpk)\n",
                     command, directory.c_str());
        return std::nullopt;
    }
    return folder;
}

std::string gridDescription(const GridContext& grid, bool zoneFixed) {
    if (grid.MercatorGrid) return strprintf("Mercator on a sphere of radius %.0f m, WGS84", grid.MercatorRadius);
    if (grid.PlateCarreeGrid)
        return grid.RectangularPixels ? "plate carree in 1/10000 degree, WGS84, pixels stretched by 1/cos(latitude)"
                                      : "plate carree in 1/10000 degree, WGS84, square pixels";
    // The first map's name fixes the zone or strip; a folder without maps has none yet.
    const auto onDatum = [&](const char* projection, const char* unit, int number, const char* datum) {
        return zoneFixed ? strprintf("%s %s %d on %s", projection, unit, number, datum)
                         : strprintf("%s on %s, no %s yet (no maps)", projection, datum, unit);
    };
    if (!grid.LocalDatumGrid) return onDatum("UTM", "zone", grid.UtmZone, "WGS84");
    if (grid.Ed50Datum) return onDatum("UTM", "zone", grid.UtmZone, "European Datum 1950");
    return onDatum("Gauss-Krueger", "strip", grid.GkStrip, "the Potsdam datum");
}

}  // namespace vexa
