#include "maps/import/tile_layout.h"

#include <algorithm>
#include <cmath>

namespace vexa {
namespace {

MapFileName probe(const std::string& zone, int left, int top, int resolution, int pixels) {
    return MapFileName{zone, left, top, resolution, pixels, pixels};
}

// Tiles step by whole grid units, as their names place them. Where a tile spans a fraction
// more, neighbours overlap by less than a unit rather than leave a gap.
long long wholeUnits(double span) { return std::max(1LL, static_cast<long long>(std::floor(span + 1e-9))); }

}  // namespace

GridAxes gridAxes(const GridContext& grid) {
    const auto a = mapGeoTransform(grid, probe("0", 0, 0, 1000, 1));
    const auto b = mapGeoTransform(grid, probe("0", 1000, 1000, 1000, 1));
    return {a[0], (b[0] - a[0]) / 1000.0, a[3], (b[3] - a[3]) / 1000.0};
}

std::vector<PlannedTile> planTiles(const GridContext& grid, const std::string& zone, const GridExtent& extent,
                                   int resolution, int pixels) {
    const GridAxes axes = gridAxes(grid);
    const long long height = wholeUnits(pixels * 1000.0 / resolution);
    const long long firstTop = static_cast<long long>(std::ceil(extent.north / height)) * height;
    std::vector<PlannedTile> tiles;
    for (long long top = firstTop; top > extent.south; top -= height) {
        // The width in grid units follows from the name itself: plate carrée with rectangular
        // pixels stretches it by the latitude of the top edge.
        const auto shape = mapGeoTransform(grid, probe(zone, 0, static_cast<int>(top), resolution, pixels));
        const long long width = wholeUnits(pixels * shape[1] / axes.xUnit);
        const long long firstLeft = static_cast<long long>(std::floor(extent.west / width)) * width;
        for (long long left = firstLeft; left < extent.east; left += width) {
            MapFileName name{zone, static_cast<int>(left), static_cast<int>(top), resolution, pixels, pixels};
            const auto geoTransform = mapGeoTransform(grid, name);
            tiles.push_back({std::move(name), geoTransform});
        }
    }
    return tiles;
}

}  // namespace vexa
