// vexa-maps info, vrt and worldfiles: a VEXA map folder as the program sees it, and opened for
// GIS tools. argv[0] is the command's name; each returns the exit status (0 done, 1 failed,
// 2 wrong command line).
#pragma once

#include <optional>
#include <string>

#include "maps/map_folder.h"

namespace vexa {

int runInfoCommand(int argc, char** argv);
int runVrtCommand(int argc, char** argv);
int runWorldfilesCommand(int argc, char** argv);

// The one argument DIR of a folder command: the help text on --help (status 0), the usage on
// a wrong command line (2). nullopt with *status set when the command is done.
std::optional<std::string> folderArgument(int argc, char** argv, int maxArguments, const char* usage,
                                          int* status);

// The folder read as the program reads it; nullopt (the reason on standard error) when its
// name holds no grid or it does not exist.
std::optional<MapFolder> readFolderOrSay(const char* command, const std::string& directory);

// The folder's grid in words: "UTM zone 32 on WGS84" and so on.
std::string gridDescription(const GridContext& grid);

}  // namespace vexa
