// vexa-maps info, vrt and worldfiles: a VEXA map folder as the program sees it, and opened for
// GIS tools. argv[0] is the command's name; each returns the exit status (0 done, 1 failed,
// 2 wrong command line).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "maps/map_folder.h"

namespace vexa {

int runInfoCommand(int argc, char** argv);
int runVrtCommand(int argc, char** argv);
int runWorldfilesCommand(int argc, char** argv);

// The arguments of a folder command, DIR first, at most `maxArguments`; does not return on
// --help, --version or a wrong command line.
std::vector<std::string> folderArguments(const char* command, int argc, char** argv, std::size_t maxArguments,
                                         const char* usage);

// The folder read as the program reads it; nullopt (the reason on standard error) when its
// name holds no grid or it does not exist.
std::optional<MapFolder> readFolderOrSay(const char* command, const std::string& directory);

// The folder's grid in words: "UTM zone 32 on WGS84" and so on; without `zoneFixed` (no map
// in the folder has fixed it yet) the zone or strip is left out.
std::string gridDescription(const GridContext& grid, bool zoneFixed);

}  // namespace vexa
