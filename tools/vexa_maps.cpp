// vexa-maps COMMAND ...
//
// VEXA map folders and the GIS world: rasters imported into a folder, a folder described, and
// a folder opened for GIS tools as a VRT mosaic or with world files.
#include <string>
#include <vector>

#include "tools/maps/import_command.h"
#include "tools/tool_command_line.h"
#include "tools/maps/map_folder_commands.h"

namespace {

constexpr const char* kUsage =
    "usage: vexa-maps COMMAND ARGUMENTS\n"
    "\n"
    "  import SOURCE... TARGETDIR [options]\n"
    "                      georeferenced rasters (GeoTIFF, world files, MBTiles, VRT, XYZ tiles)\n"
    "                      warped onto the grid of a map folder and cut into map tiles\n"
    "  info DIR            what the program sees in a map folder: grid, zone, maps per\n"
    "                      resolution, the covered area in WGS84, the files it leaves out and why\n"
    "  vrt DIR [OUT.vrt]   a GDAL VRT mosaic of the folder's maps (default: DIR.vrt beside it)\n"
    "  worldfiles DIR      a world file (.jgw .pgw .gfw .bpw) and a .prj beside each map\n"
    "\n"
    "A map folder's name holds its grid: _utm, _ute (UTM on European Datum 1950), _gk\n"
    "(Gauss-Krueger on Potsdam), _mp, _mg (Mercator), _qpk, _rpk (plate carree).\n"
    "'vexa-maps COMMAND --help' explains one command.\n"
    "\n"
    "  -h, --help       this text\n"
    "  -V, --version    the version\n"
    "\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line.\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace vexa;
    const ToolCommandLine commandLine("vexa-maps", kUsage);
    const std::vector<std::string> args = commandLine.read({}, argc, argv, true).operands;
    if (args.empty()) commandLine.wrong("give a COMMAND: import, info, vrt or worldfiles");
    // Each command gets its own name as argv[0].
    const int at = argc - static_cast<int>(args.size());
    const std::string& command = args.front();
    if (command == "import") return runImportCommand(argc - at, argv + at);
    if (command == "info") return runInfoCommand(argc - at, argv + at);
    if (command == "vrt") return runVrtCommand(argc - at, argv + at);
    if (command == "worldfiles") return runWorldfilesCommand(argc - at, argv + at);
    commandLine.wrong("unknown command '" + command + "'");
}
