#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "exchange/file_writing.h"
#include "maps/import/grid_srs.h"
#include "maps/map_file_name.h"
#include "tools/maps/map_folder_commands.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr const char* kUsage =
    "usage: vexa-maps worldfiles DIR\n"
    "\n"
    "Writes beside each map of the map folder DIR a world file (.jgw, .pgw, .gfw or .bpw for\n"
    ".jpg, .png, .gif, .bmp), a .prj with the folder's grid, and the same grid in GDAL's\n"
    "NAME.aux.xml, so that GIS programs place the maps one by one. Files of these names are\n"
    "replaced.\n"
    "Exit status: 0 written, 1 a file could not be written, 2 wrong command line.\n";

// The world file's extension: the image extension's first and last letter and a "w".
std::string worldFileExtension(std::string_view imageExtension) {
    const std::string e = asciiLower(imageExtension);
    return std::string{e.front(), e.back(), 'w'};
}

}  // namespace

int runWorldfilesCommand(int argc, char** argv) {
    const std::string directory = folderArguments("worldfiles", argc, argv, 1, kUsage).front();
    int status = 0;
    const std::optional<MapFolder> folder = readFolderOrSay("worldfiles", directory);
    if (!folder) return 1;

    const std::string prj = gridWkt(folder->grid);
    // GDAL takes a world file's coordinate system from its own side file, not from the .prj.
    const std::vector<int> axes = gridSpatialReference(folder->grid).GetDataAxisToSRSAxisMapping();
    const std::string aux = strprintf("<PAMDataset>\n  <SRS dataAxisToSRSAxisMapping=\"%d,%d\">%s</SRS>\n</PAMDataset>\n",
                                      axes.at(0), axes.at(1), prj.c_str());
    int written = 0;
    for (const MapEntry& row : folder->table.rows) {
        const std::array<double, 6> gt = mapGeoTransform(folder->grid, *parseMapFileName(row.fileName()));
        // Pixel sizes, rotation terms, then the centre of the top left pixel.
        const std::string world = strprintf("%.10f\n0\n0\n%.10f\n%.10f\n%.10f\n", gt[1], gt[5], gt[0] + gt[1] / 2.0,
                                            gt[3] + gt[5] / 2.0);
        std::filesystem::path file(row.path);
        const std::filesystem::path worldFile = file.replace_extension(worldFileExtension(row.extension()));
        const std::filesystem::path prjFile = std::filesystem::path(row.path).replace_extension("prj");
        const std::filesystem::path auxFile = row.path + ".aux.xml";
        bool whole = true;
        for (const auto& [path, content] : {std::pair{worldFile, world}, std::pair{prjFile, prj}, std::pair{auxFile, aux}}) {
            if (!writeFileReplacing(path, content)) {
                std::fprintf(stderr, "vexa-maps worldfiles: %s: cannot write it\n", path.c_str());
                whole = false;
                status = 1;
            }
        }
        written += whole ? 1 : 0;
    }
    std::printf("%s: world files and .prj files for %d maps\n", directory.c_str(), written);
    return status;
}

}  // namespace vexa
