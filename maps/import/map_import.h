// Importing georeferenced rasters into a map folder: every source warped onto the folder's
// grid and cut into tiles named as the map catalogue reads them.
//
// Everything that can be checked before writing is checked first: a bad source, a source
// beyond the zone, a folder that cannot be written leave the disk as it was. While tiles are
// written, each is whole or absent: a tile goes to a temporary name and is renamed when
// complete, and a cancelled or failed import removes the tile it was writing.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "maps/import/raster_source.h"

namespace vexa {

struct ImportRequest {
    std::vector<std::string> sources;
    std::string targetDir;             // its suffix chooses the grid
    std::optional<int> zone;           // UTM zone or Gauss-Krüger strip; else the folder's or the sources'
    std::optional<int> resolution;     // pixels per 1000 grid units; else the sources' finest, rounded up
    int tilePixels = 1000;
    std::string format = "jpg";        // "jpg" or "png"
    int quality = 85;                  // JPEG quality
    std::string resampling = "bilinear";
    SourceGeoreference georeference;   // for sources that lack their own
};

struct ImportProgress {
    int tilesDone = 0;     // tiles looked at, written or empty
    int tilesTotal = 0;
    int tilesWritten = 0;
};

struct ImportResult {
    bool ok = false;
    bool cancelled = false;
    std::string message;   // what went wrong, naming the file; empty on success
    int tilesWritten = 0;
    int tilesTotal = 0;
    int resolution = 0;
    std::string zone;
};

// The resampling names the command line takes ("near", "bilinear", "cubic", ...); false for
// an unknown one.
bool knownResampling(const std::string& name);

// Runs the import on the calling thread. `progress` is called after every tile; `cancel`
// (may be null) is polled between tiles and while warping.
ImportResult importMaps(const ImportRequest& request, const std::function<void(const ImportProgress&)>& progress,
                        const std::atomic<bool>* cancel);

}  // namespace vexa
