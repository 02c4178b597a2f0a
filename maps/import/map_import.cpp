#include "maps/import/map_import.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal_alg.h>

#include "geo/grid.h"
#include "geo/zone_choice.h"
#include "maps/import/grid_srs.h"
#include "maps/import/tile_layout.h"
#include "maps/import/tile_renderer.h"
#include "maps/map_folder.h"
#include "util/text.h"

namespace vexa {
namespace {

// GDAL's block cache: the most source pixels held at once, however large the source.
constexpr long long kBlockCacheBytes = 96LL * 1024 * 1024;

struct ResamplingName {
    const char* name;
    GDALResampleAlg algorithm;
};
constexpr ResamplingName kResamplings[] = {
    {"near", GRA_NearestNeighbour}, {"bilinear", GRA_Bilinear}, {"cubic", GRA_Cubic},
    {"cubicspline", GRA_CubicSpline}, {"lanczos", GRA_Lanczos}, {"average", GRA_Average}, {"mode", GRA_Mode}};

GDALResampleAlg resamplingNamed(const std::string& name) {
    for (const auto& r : kResamplings)
        if (name == r.name) return r.algorithm;
    return GRA_Bilinear;
}

void configureGdal() {
    static std::once_flag once;
    std::call_once(once, [] {
        GDALAllRegister();
        GDALSetCacheMax64(kBlockCacheBytes);
    });
}

bool transverseMercator(const GridContext& grid) { return !grid.MercatorGrid && !grid.PlateCarreeGrid; }
bool gaussKrueger(const GridContext& grid) { return grid.LocalDatumGrid && !grid.Ed50Datum; }

// Longitude and latitude range of a source on WGS84.
struct Geographic {
    double west, south, east, north;
};

std::optional<Geographic> geographicExtent(const RasterSource& source) {
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    char* srcWkt = nullptr;
    char* dstWkt = nullptr;
    source.srs.exportToWkt(&srcWkt);
    wgs84.exportToWkt(&dstWkt);
    const std::string srcOption = std::string("SRC_SRS=") + srcWkt, dstOption = std::string("DST_SRS=") + dstWkt;
    CPLFree(srcWkt);
    CPLFree(dstWkt);
    const char* options[] = {srcOption.c_str(), dstOption.c_str(), nullptr};
    CPLPushErrorHandler(CPLQuietErrorHandler);
    void* transformer = GDALCreateGenImgProjTransformer2(source.dataset, nullptr, const_cast<char**>(options));
    double gt[6], extent[4];
    int columns = 0, rows = 0;
    const bool ok = transformer && GDALSuggestedWarpOutput2(source.dataset, GDALGenImgProjTransform, transformer, gt,
                                                            &columns, &rows, extent, 0) == CE_None;
    if (transformer) GDALDestroyGenImgProjTransformer(transformer);
    CPLPopErrorHandler();
    if (!ok) return std::nullopt;
    return Geographic{extent[0], extent[1], extent[2], extent[3]};
}

void setZone(GridContext& grid, int zone) {
    grid.UtmZone = zone;
    grid.GkStrip = zone;
}

// A transverse Mercator zone takes maps up to half its width beyond its edges, as maps of a
// region that a zone border cuts are commonly kept in one zone.
std::string outsideZone(const GridContext& grid, const RasterSource& source, const Geographic& extent) {
    if (!transverseMercator(grid)) return {};
    const bool gk = gaussKrueger(grid);
    const double meridian = transverseMercatorGrid(grid).centralMeridian;
    const double reach = gk ? 3.0 : 6.0;  // half the zone width and as much again
    const double far = std::max(meridian - extent.west, extent.east - meridian);
    if (far <= reach) return {};
    return strprintf("%s: reaches %.1f degrees from the central meridian %g of %s %d, beyond the zone and its "
                     "overlap (%g degrees); choose another --zone or another folder",
                     source.path.c_str(), far, meridian, gk ? "strip" : "zone", gk ? grid.GkStrip : grid.UtmZone,
                     reach / 2.0);
}

// The folder, or the nearest folder above it that exists, must take new files.
std::string notWritable(const std::filesystem::path& dir) {
    std::filesystem::path existing = std::filesystem::absolute(dir);
    std::error_code ec;
    while (!std::filesystem::exists(existing, ec) && existing.has_parent_path() && existing != existing.parent_path())
        existing = existing.parent_path();
    if (std::filesystem::is_directory(existing, ec) && ::access(existing.c_str(), W_OK | X_OK) == 0) return {};
    return dir.string() + ": the target folder cannot be written (" + existing.string() +
           (std::filesystem::is_directory(existing, ec) ? " is read-only)" : " is not a folder)");
}

std::string zoneText(const GridContext& grid) {
    if (!transverseMercator(grid)) return "0";
    return std::to_string(gaussKrueger(grid) ? grid.GkStrip : grid.UtmZone);
}

}  // namespace

bool knownResampling(const std::string& name) {
    return std::any_of(std::begin(kResamplings), std::end(kResamplings), [&](const auto& r) { return name == r.name; });
}

ImportResult importMaps(const ImportRequest& request, const std::function<void(const ImportProgress&)>& progress,
                        const std::atomic<bool>* cancel) {
    configureGdal();
    ImportResult result;
    const auto fail = [&](std::string message) {
        result.message = std::move(message);
        return result;
    };

    MapFolder folder = readMapFolder(request.targetDir);
    GridContext& grid = folder.grid;
    if (!folder.named)
        return fail(request.targetDir + ": the folder name must end in the grid's suffix: _utm, _ute, _gk, _mp, "
                                        "_mg, _qpk or _rpk");

    std::vector<std::unique_ptr<RasterSource>> sources;
    std::vector<Geographic> extents;
    for (const std::string& path : request.sources) {
        std::string error;
        auto source = openRasterSource(path, request.georeference, error);
        if (!source) return fail(error);
        const auto extent = geographicExtent(*source);
        if (!extent) return fail(path + ": its coordinates cannot be converted to WGS84");
        sources.push_back(std::move(source));
        extents.push_back(*extent);
    }
    if (sources.empty()) return fail("no source given");

    const bool existing = !folder.table.empty();
    if (request.zone && existing && transverseMercator(grid) && *request.zone != std::stoi(zoneText(grid)))
        return fail(strprintf("%s: the maps already there are in zone %s, not %d", request.targetDir.c_str(),
                              zoneText(grid).c_str(), *request.zone));
    if (!existing && transverseMercator(grid)) {
        double west = extents[0].west, east = extents[0].east;
        for (const Geographic& e : extents) west = std::min(west, e.west), east = std::max(east, e.east);
        const double middle = (west + east) / 2.0;
        setZone(grid, request.zone.value_or(gaussKrueger(grid) ? gkStripAt(middle) : utmZoneAt(middle)));
    }
    for (std::size_t i = 0; i < sources.size(); ++i)
        if (auto message = outsideZone(grid, *sources[i], extents[i]); !message.empty()) return fail(message);
    if (auto message = notWritable(request.targetDir); !message.empty()) return fail(message);

    std::vector<const RasterSource*> inputs;
    for (const auto& source : sources) inputs.push_back(source.get());
    TileRenderer renderer(inputs, gridSpatialReference(grid), request.tilePixels, resamplingNamed(request.resampling));
    if (std::string error; !renderer.ready(error)) return fail(error);

    const GridAxes axes = gridAxes(grid);
    GridExtent extent{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                      std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
    double finest = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const SrsExtent& f = renderer.footprint(i);
        const double x0 = axes.gridX(f.minX), x1 = axes.gridX(f.maxX);
        const double y0 = axes.gridY(f.minY), y1 = axes.gridY(f.maxY);
        extent.west = std::min({extent.west, x0, x1}), extent.east = std::max({extent.east, x0, x1});
        extent.south = std::min({extent.south, y0, y1}), extent.north = std::max({extent.north, y0, y1});
        finest = std::min(finest, renderer.pixelSize(i) / std::abs(axes.yUnit));
    }
    // The source's own resolution, rounded up; a hair of floating-point noise is no detail.
    result.resolution = request.resolution.value_or(
        std::max(1, static_cast<int>(std::ceil(1000.0 / finest * (1.0 - 1e-7)))));
    result.zone = zoneText(grid);
    const std::vector<PlannedTile> tiles =
        planTiles(grid, result.zone, extent, result.resolution, request.tilePixels);
    result.tilesTotal = static_cast<int>(tiles.size());

    const std::filesystem::path dir(request.targetDir);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) return fail(request.targetDir + ": the target folder cannot be created: " + ec.message());

    ImportProgress state{0, result.tilesTotal, 0};
    const auto cameAs = [&] {
        return strprintf("%d of %d tiles were written and are whole", result.tilesWritten, result.tilesTotal);
    };
    for (const PlannedTile& tile : tiles) {
        if (cancel && cancel->load()) break;
        std::string error;
        const auto outcome = renderer.draw(tile.geoTransform, cancel, error);
        if (outcome == TileRenderer::Outcome::Cancelled) break;
        if (outcome == TileRenderer::Outcome::Failed) return fail(error + "; " + cameAs());
        if (outcome == TileRenderer::Outcome::Drawn) {
            const std::string name = formatMapFileName(tile.name, request.format);
            int systemError = 0;
            if (!renderer.write(dir / name, dir / ("." + name + ".part"), request.format, request.quality, error,
                                systemError)) {
                const bool full = systemError == ENOSPC || systemError == EFBIG || systemError == EDQUOT;
                const std::string why = full ? "the disk is full"
                                        : systemError ? std::strerror(systemError)
                                                      : error;
                return fail((dir / name).string() + " could not be written: " + why + "; " + cameAs());
            }
            state.tilesWritten = ++result.tilesWritten;
        }
        ++state.tilesDone;
        if (progress) progress(state);
    }
    if (cancel && cancel->load()) {
        result.cancelled = true;
        return fail("cancelled; " + cameAs());
    }
    result.ok = true;
    return result;
}

}  // namespace vexa
