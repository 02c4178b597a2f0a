// The map catalogue: scanning the map directory into the MapTable, and removing the same map
// found in two image formats.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "geo/grid.h"
#include "maps/map_table.h"

namespace vexa {

class DiagnosticText;
class Ui;
struct FrameState;
struct GridContext;

// Where a scan shows how far it got. Either may be empty: without a progress bar the scan
// logs its progress instead; the status text is the directory dialog's running status line.
struct MapScanProgress {
    std::function<void(int percent)> setProgress;
    std::function<void(std::string_view text)> setStatus;
};

struct MapScanContext {
    MapTable& table;
    GridContext& grid;
    FrameState& frame;           // viewCentre, verticalRatio, lastMapIndex
    DiagnosticText& log;
    Ui& ui;
    std::string configuredMapDir;   // the settings' map directory, used when none is given
    bool traceAndRouteEmpty = true; // the start position may move to the maps' average centre
};

// The grid a map directory's name selects. The suffixes are looked for anywhere in the
// lower-cased path in a fixed order, and each match overrides the flags of the ones before it;
// `grid` keeps what no match touches. `matched` gets each match's log line. False when the
// name holds none of the suffixes.
bool applyDirectorySuffixes(std::string_view directory, GridContext& grid,
                            const std::function<void(const char* line)>& matched = {});

// How much wider than tall a rectangular plate carrée pixel is: 1/cos of the latitude of the
// map's top edge (in 1/10000 degree), cut to whole degrees.
double rectangularPixelStretch(int top);

// The mean of the maps' centres: where a view with no position of its own starts.
GridPoint mapCollectionCentre(const MapTable& table);

// Scans `directory` (or the configured one) and rebuilds the table; sets the grid context
// from the directory's name. Returns the last row's index, or −1 when the directory name is
// invalid, it holds no maps or the table cannot be allocated.
int fill_karte_tab(MapScanContext& context, const std::optional<std::string>& directory,
                   const MapScanProgress& progress = {});

// Removes the first of two neighbouring rows whose file names differ only in the extension.
void SortKarten(MapTable& table, DiagnosticText& log);

}  // namespace vexa
