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
