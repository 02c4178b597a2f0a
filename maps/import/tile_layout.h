// Where the tiles of an import lie on the target grid: whole grid units for every tile's left
// and top edge, as the map file names need them, and the tiles lined up from multiples of the
// tile size so that later imports at the same resolution meet the earlier ones.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "geo/grid_context.h"
#include "maps/import/grid_srs.h"

namespace vexa {

// A rectangle in grid units (1/10000 degree on plate carrée, else metres).
struct GridExtent {
    double west = 0.0, south = 0.0, east = 0.0, north = 0.0;
};

// The grid's units as coordinates of its spatial reference: srs = origin + unit · grid.
struct GridAxes {
    double xOrigin = 0.0, xUnit = 1.0, yOrigin = 0.0, yUnit = 1.0;

    double gridX(double srsX) const { return (srsX - xOrigin) / xUnit; }
    double gridY(double srsY) const { return (srsY - yOrigin) / yUnit; }
};

GridAxes gridAxes(const GridContext& grid);

struct PlannedTile {
    MapFileName name;
    std::array<double, 6> geoTransform;  // pixel to the grid's spatial reference
};

// Tiles of `pixels` × `pixels` at `resolution` pixels per 1000 grid units covering `extent`.
std::vector<PlannedTile> planTiles(const GridContext& grid, const std::string& zone, const GridExtent& extent,
                                   int resolution, int pixels);

}  // namespace vexa
