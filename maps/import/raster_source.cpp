#include "maps/import/raster_source.h"

#include <filesystem>
#include <vector>

#include <cpl_error.h>
#include <gdal_utils.h>

#include "maps/import/xyz_tile_folder.h"
#include "util/text.h"

namespace vexa {
namespace {

bool hasGeoTransform(GDALDatasetH dataset) {
    double gt[6];
    if (GDALGetGeoTransform(dataset, gt) != CE_None) return false;
    return !(gt[0] == 0.0 && gt[1] == 1.0 && gt[2] == 0.0 && gt[3] == 0.0 && gt[4] == 0.0 && gt[5] == 1.0);
}

// A .prj beside the raster, as GIS tools write it next to a world file.
std::filesystem::path prjBeside(const std::string& path) {
    std::filesystem::path prj(path);
    prj.replace_extension(".prj");
    std::error_code ec;
    return std::filesystem::exists(prj, ec) ? prj : std::filesystem::path{};
}

// A usable system converts to geographic WGS84.
bool knownSystem(const OGRSpatialReference& srs) {
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    CPLPushErrorHandler(CPLQuietErrorHandler);
    OGRCoordinateTransformation* ct = OGRCreateCoordinateTransformation(&srs, &wgs84);
    CPLPopErrorHandler();
    delete ct;
    return ct != nullptr;
}

bool readSystem(OGRSpatialReference& srs, const std::string& text) {
    CPLPushErrorHandler(CPLQuietErrorHandler);
    const bool ok = srs.SetFromUserInput(text.c_str()) == OGRERR_NONE;
    CPLPopErrorHandler();
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return ok && knownSystem(srs);
}

// A VRT in memory over `dataset` made by gdal_translate's arguments.
GDALDatasetH translatedVrt(GDALDatasetH dataset, std::vector<const char*> args) {
    args.insert(args.begin(), {"-of", "VRT"});
    args.push_back(nullptr);
    GDALTranslateOptions* options = GDALTranslateOptionsNew(const_cast<char**>(args.data()), nullptr);
    GDALDatasetH translated = GDALTranslate("", dataset, options, nullptr);
    GDALTranslateOptionsFree(options);
    return translated;
}

// The raster placed by the bounds the user gave, in memory: nothing is written beside the
// user's file.
GDALDatasetH withBounds(GDALDatasetH dataset, const std::array<double, 4>& bounds) {
    const auto& [west, south, east, north] = bounds;
    const std::string w = strprintf("%.10g", west), s = strprintf("%.10g", south), e = strprintf("%.10g", east),
                      n = strprintf("%.10g", north);
    return translatedVrt(dataset, {"-a_ullr", w.c_str(), n.c_str(), e.c_str(), s.c_str()});
}

void chooseBands(RasterSource& source) {
    const int count = GDALGetRasterCount(source.dataset);
    if (count <= 2) source.colourBands = {1, 1, 1};
    if (count == 2 || count >= 4) source.alphaBand = count == 2 ? 2 : 4;
    for (int band = 1; band <= count; ++band) {
        if (GDALGetRasterColorInterpretation(GDALGetRasterBand(source.dataset, band)) == GCI_AlphaBand)
            source.alphaBand = band;
    }
}

}  // namespace

RasterSource::~RasterSource() {
    if (dataset) GDALClose(dataset);
    for (auto it = beneath.rbegin(); it != beneath.rend(); ++it) GDALClose(*it);
}

std::unique_ptr<RasterSource> openRasterSource(const std::string& path, const SourceGeoreference& given,
                                               std::string& error) {
    auto source = std::make_unique<RasterSource>();
    source->path = path;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        if (!isXyzZoomFolder(path)) {
            error = path + ": a folder, but not the zoom level folder of XYZ tiles (DIR/{z} holding {x}/{y}.png)";
            return nullptr;
        }
        const auto vrt = xyzFolderVrt(path, error);
        if (!vrt) return nullptr;
        source->dataset = GDALOpen(vrt->c_str(), GA_ReadOnly);
    } else {
        if (!std::filesystem::exists(path, ec)) {
            error = path + ": no such file";
            return nullptr;
        }
        CPLPushErrorHandler(CPLQuietErrorHandler);
        source->dataset = GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
        CPLPopErrorHandler();
    }
    if (!source->dataset) {
        error = path + ": not a raster GDAL can read";
        return nullptr;
    }
    if (GDALGetRasterCount(source->dataset) > 0 &&
        GDALGetRasterColorTable(GDALGetRasterBand(source->dataset, 1)) != nullptr) {
        // Colours, not palette indices, are what the warper must interpolate.
        GDALDatasetH expanded = translatedVrt(source->dataset, {"-expand", "rgba"});
        if (expanded) {
            source->beneath.push_back(source->dataset);
            source->dataset = expanded;
        }
    }

    const bool placed = hasGeoTransform(source->dataset) || GDALGetGCPCount(source->dataset) >= 3;
    if (!placed && given.bounds && !given.srs.empty()) {
        GDALDatasetH placedCopy = withBounds(source->dataset, *given.bounds);
        if (placedCopy) {
            source->beneath.push_back(source->dataset);
            source->dataset = placedCopy;
        }
    } else if (!placed) {
        error = path + " has no georeference: add a world file and .prj, or give --srs and --bounds";
        return nullptr;
    }

    if (!given.srs.empty()) {
        if (!readSystem(source->srs, given.srs)) {
            error = path + ": GDAL does not know the coordinate reference system " + given.srs;
            return nullptr;
        }
    } else {
        const char* wkt = hasGeoTransform(source->dataset) ? GDALGetProjectionRef(source->dataset)
                                                            : GDALGetGCPProjection(source->dataset);
        const auto prj = prjBeside(path);
        if (wkt && *wkt) {
            if (!readSystem(source->srs, wkt)) {
                error = path + ": GDAL does not know its coordinate reference system";
                return nullptr;
            }
        } else if (!prj.empty()) {
            if (!readSystem(source->srs, prj.string())) {
                error = prj.string() + ": GDAL does not know this coordinate reference system";
                return nullptr;
            }
        } else {
            error = path + " has no georeference: add a world file and .prj, or give --srs and --bounds";
            return nullptr;
        }
    }
    chooseBands(*source);
    return source;
}

}  // namespace vexa
