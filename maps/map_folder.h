// A map folder read the way the program reads its map directory, without a window: for the
// command-line tools and the import, which need the grid the folder stands for and its maps.
#pragma once

#include <string>
#include <vector>

#include "geo/grid_context.h"
#include "maps/map_table.h"

namespace vexa {

struct MapFolder {
    bool named = false;             // the folder's name selects a grid
    GridContext grid;               // from the name, the zone or strip from the first map
    MapTable table;                 // empty when the folder holds no maps or does not exist
    std::vector<std::string> log;   // the catalogue's lines, oldest first: dropped maps and why
};

MapFolder readMapFolder(const std::string& directory);

}  // namespace vexa
