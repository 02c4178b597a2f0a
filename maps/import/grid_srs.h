// VEXA's grids as GDAL spatial references, and where a map file lies in them.
//
// The references are built from geo/'s own constants: its ellipsoids, its three-parameter datum
// shifts (as TOWGS84), its zone and strip meridians and its Mercator radius. An EPSG code of
// "the same" datum would place maps differently (EPSG's Potsdam shift differs from ours by
// metres), so none is used. The units are the grid's own (metres; 1/10000 degree on plate
// carrée), so grid coordinates and map file names go to GDAL unchanged.
#pragma once

#include <array>
#include <string>

#include <ogr_spatialref.h>

#include "geo/grid_context.h"
#include "maps/map_file_name.h"

namespace vexa {

// The grid in force as GDAL's spatial reference; axis order easting, northing.
OGRSpatialReference gridSpatialReference(const GridContext& grid);

// The same as WKT, for VRT files and .prj files.
std::string gridWkt(const GridContext& grid);

// The GDAL geotransform of a map: its file name's left and top edge, and the grid units per
// pixel at its resolution (pixels per 1000 grid units); rectangular plate carrée pixels are
// wider than tall by the catalogue's stretch.
std::array<double, 6> mapGeoTransform(const GridContext& grid, const MapFileName& name);

}  // namespace vexa
