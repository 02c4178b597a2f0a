// A raster the import reads from, opened with GDAL: the dataset, the coordinate reference
// system it is georeferenced in and the bands that give red, green, blue and transparency.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gdal.h>
#include <ogr_spatialref.h>

namespace vexa {

// What the command line may add to a raster that lacks it: a coordinate reference system
// (anything GDAL's user input understands, "EPSG:25832") and the raster's bounds in it.
struct SourceGeoreference {
    std::string srs;
    std::optional<std::array<double, 4>> bounds;  // west, south, east, north
};

struct RasterSource {
    RasterSource() = default;
    RasterSource(const RasterSource&) = delete;
    RasterSource& operator=(const RasterSource&) = delete;
    ~RasterSource();

    std::string path;
    GDALDatasetH dataset = nullptr;
    std::vector<GDALDatasetH> beneath;         // what an in-memory VRT dataset reads, kept open
    OGRSpatialReference srs;
    std::array<int, 3> colourBands{1, 2, 3};  // a grey raster gives its one band three times
    int alphaBand = 0;                          // 0: no band says which pixels are empty
};

// Opens a GeoTIFF, an image with a world file and .prj, an MBTiles file, a VRT or a zoom
// level folder of XYZ tiles (DIR/{z}, holding {x}/{y}.png). On failure returns null and sets
// `error` to a message that names the file and what is missing.
std::unique_ptr<RasterSource> openRasterSource(const std::string& path, const SourceGeoreference& given,
                                               std::string& error);

}  // namespace vexa
