// Calibrated maps get new file names: the placement in a name, the new name, the rename of one
// map or of every map of a resolution, and the edges restored from the name.
//
// The files are the user's: a rename never replaces a file, and a row follows its file only
// after the rename succeeded, so that the table always says what is on the disk.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "maps/map_table.h"

namespace vexa {

struct GridContext;

// One column of dialog "Karte umbenennen".
struct MapPlacement {
    int zone = 0;
    int x = 0;           // left edge
    int y = 0;           // top edge
    int resolution = 0;
    int width = 0;
    int height = 0;

    bool operator==(const MapPlacement&) const = default;
};

// UTM zone, Gauss-Krüger strip, or 0 on plate carrée.
int calibrationZone(const GridContext& grid);
// The placement the file name states (fields 3 to 6 and the height before the ".").
MapPlacement placementFromName(const MapEntry& row, int zone);
// The row's placement in memory, edges truncated.
MapPlacement placementOfRow(const MapEntry& row, int zone);
// The file name for a placement, with the row's extension.
std::string calibratedMapName(const MapTable& table, const GridContext& grid, const MapEntry& row,
                              const MapPlacement& placement);
// Left, top and resolution of a row, and the right and bottom edges that follow.
void setRowPlacement(MapEntry& row, float left, float top, int resolution);
// Renames the row's file, in its directory, to `newName`; on success the row refers to it.
bool renameMapRow(MapEntry& row, const std::string& newName, int& error);
// The German message for a failed rename or delete of `name`.
std::string renameFailure(int error, const std::string& name);
// The edges from the file name again: undoes moves that were not made permanent.
void ResetKalib(MapEntry& row);

// Every other row of `oldResolution` shifted by (−dx, −dy) and given `newResolution`, file by
// file. `progress` gets 0..100. Returns the messages of the renames that failed; those rows
// keep their old names and edges.
std::vector<std::string> MoveSameResolution(MapTable& table, const GridContext& grid, int excluded, int dx,
                                            int dy, int oldResolution, int newResolution,
                                            const std::function<void(int)>& progress);

}  // namespace vexa
