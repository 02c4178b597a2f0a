// Draws one layer of the demo maps as a single picture, which tiles.h then cuts into map
// files. Drawing the block as a whole keeps lines, labels and the sea continuous across the
// tile edges.
#pragma once

#include <vector>

#include <QImage>
#include <QString>

#include "geo/grid_context.h"
#include "tools/mapgen/layers.h"
#include "tools/mapgen/towns.h"
#include "tools/mapgen/vectors.h"

namespace vexa::mapgen {

struct MapData {
    std::vector<Segment> shores;   // joined shorelines (joinSegments), GSHHG levels 1-4
    std::vector<Segment> rivers;
    std::vector<Segment> borders;
    std::vector<Town> towns;       // most populous first
};

// The layer's picture, layer.widthPx() × layer.heightPx(); pixel (0, 0) has its top-left
// corner at (layer.left, layer.top) on the grid.
QImage drawLayer(const MapLayer& layer, const MapData& data, const GridContext& grid,
                 const QString& fontFamily);

}  // namespace vexa::mapgen
