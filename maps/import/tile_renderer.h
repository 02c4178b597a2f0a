// One tile's pixels: the sources warped (or, when they already lie on the tile's pixel grid,
// copied) onto it, and the tile encoded into an image file under a temporary name that is
// renamed once the file is whole.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gdal_alg.h>
#include <gdalwarper.h>
#include <ogr_spatialref.h>

#include "maps/import/raster_source.h"

namespace vexa {

// A rectangle in coordinates of the target's spatial reference.
struct SrsExtent {
    double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;
};

class TileRenderer {
public:
    enum class Outcome { Drawn, Empty, Cancelled, Failed };

    // `sources` stay open for the renderer's lifetime.
    TileRenderer(const std::vector<const RasterSource*>& sources, const OGRSpatialReference& target, int pixels,
                 GDALResampleAlg resampling);
    ~TileRenderer();
    TileRenderer(const TileRenderer&) = delete;
    TileRenderer& operator=(const TileRenderer&) = delete;

    // Empty when a source cannot be transformed into the target; then `error` names it.
    bool ready(std::string& error) const;

    // The part of the target each source covers, and the finest pixel size it has there.
    const SrsExtent& footprint(std::size_t source) const { return inputs_[source].footprint; }
    double pixelSize(std::size_t source) const { return inputs_[source].pixelSize; }

    Outcome draw(const std::array<double, 6>& geoTransform, const std::atomic<bool>* cancel, std::string& error);

    // Writes the drawn tile as "jpg" (with `quality`) or "png" to `file`, by way of
    // `temporary`. On failure the temporary file is gone and `systemError` holds errno.
    bool write(const std::filesystem::path& file, const std::filesystem::path& temporary, const std::string& format,
               int quality, std::string& error, int& systemError);

private:
    struct Input {
        const RasterSource* source = nullptr;
        void* transformer = nullptr;
        SrsExtent footprint;
        double pixelSize = 0.0;
        bool sameSystem = false;
        bool noData = false;
    };
    bool copyAligned(const Input& input, const std::array<double, 6>& geoTransform);
    bool warp(Input& input, const std::array<double, 6>& geoTransform, const std::atomic<bool>* cancel,
              std::string& error);

    std::vector<Input> inputs_;
    int pixels_;
    GDALResampleAlg resampling_;
    std::vector<std::uint8_t> planes_;  // red, green, blue, alpha; pixels² bytes each
    GDALDatasetH canvas_ = nullptr;     // the four planes, warped into
    GDALDatasetH colour_ = nullptr;     // the first three, encoded
    std::string failure_;
};

}  // namespace vexa
