#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gdal_priv.h>
#include <vrtdataset.h>

#include "exchange/file_writing.h"
#include "maps/import/grid_srs.h"
#include "tools/maps/map_folder_commands.h"

namespace vexa {

namespace {

constexpr const char* kUsage =
    "usage: vexa-maps vrt DIR [OUT.vrt]\n"
    "\n"
    "Writes a GDAL VRT mosaic of the maps of the map folder DIR, with the folder's grid as its\n"
    "coordinate system, so that GIS programs open the folder as one raster: red, green, blue\n"
    "and alpha at the finest resolution of the folder, finer maps over coarser ones. OUT.vrt\n"
    "defaults to DIR.vrt beside the folder. The maps are referred to by absolute path.\n"
    "Exit status: 0 written, 1 failed, 2 wrong command line.\n";

struct PlacedMap {
    std::string path;
    std::array<double, 6> geoTransform;
    int width, height;
};

// One map's red, green, blue and alpha taken from its bands: a colour table expanded, grey
// repeated, and where it has no alpha of its own, opaque wherever the map lies.
struct BandChoice {
    int band[4] = {1, 1, 1, 0};  // 0: opaque
    bool palette = false;
};

std::optional<BandChoice> bandsOf(const std::string& path) {
    const std::unique_ptr<GDALDataset> map(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
    if (!map || map->GetRasterCount() == 0) return std::nullopt;
    const int count = map->GetRasterCount();
    const bool lastIsAlpha = map->GetRasterBand(count)->GetColorInterpretation() == GCI_AlphaBand;
    BandChoice choice;
    if (count == 1 && map->GetRasterBand(1)->GetColorTable() != nullptr) {
        choice.palette = true;
        choice.band[3] = 1;
    } else if (count >= 3) {
        choice = {{1, 2, 3, count >= 4 && lastIsAlpha ? count : 0}};
    } else if (count == 2 && lastIsAlpha) {
        choice.band[3] = 2;
    }
    return choice;
}

}  // namespace

int runVrtCommand(int argc, char** argv) {
    const std::vector<std::string> args = folderArguments("vrt", argc, argv, 2, kUsage);
    const std::string& directory = args.front();
    std::string out = args.size() > 1 ? args[1] : std::filesystem::path(directory).lexically_normal().string();
    if (args.size() == 1) {
        while (out.size() > 1 && out.back() == '/') out.pop_back();
        out += ".vrt";
    }
    const std::optional<MapFolder> folder = readFolderOrSay("vrt", directory);
    if (!folder) return 1;
    if (folder->table.empty()) {
        std::fprintf(stderr, "vexa-maps vrt: %s holds no maps\n", directory.c_str());
        return 1;
    }

    // The mosaic's pixel is the folder's finest; its edges enclose every map.
    std::vector<PlacedMap> maps;
    double pixelX = std::numeric_limits<double>::infinity(), pixelY = pixelX;
    double west = pixelX, north = -pixelX, east = -pixelX, south = pixelX;
    for (const MapEntry& row : folder->table.rows) {
        const MapFileName name = *parseMapFileName(row.fileName());
        const std::array<double, 6> gt = mapGeoTransform(folder->grid, name);
        maps.push_back({std::filesystem::absolute(row.path).string(), gt, name.width, name.height});
        pixelX = std::min(pixelX, gt[1]);
        pixelY = std::min(pixelY, -gt[5]);
        west = std::min(west, gt[0]);
        north = std::max(north, gt[3]);
        east = std::max(east, gt[0] + name.width * gt[1]);
        south = std::min(south, gt[3] + name.height * gt[5]);
    }
    const double columns = std::ceil((east - west) / pixelX - 1e-6), rows = std::ceil((north - south) / pixelY - 1e-6);
    if (!(columns < 2147483647.0 && rows < 2147483647.0)) {
        std::fprintf(stderr, "vexa-maps vrt: %s: %.0f x %.0f pixels at the finest resolution, more than GDAL takes\n",
                     directory.c_str(), columns, rows);
        return 1;
    }
    const int width = static_cast<int>(columns), height = static_cast<int>(rows);

    GDALAllRegister();
    std::unique_ptr<VRTDataset> mosaic(static_cast<VRTDataset*>(VRTCreate(width, height)));
    const OGRSpatialReference srs = gridSpatialReference(folder->grid);
    mosaic->SetSpatialRef(&srs);
    double mosaicTransform[6] = {west, pixelX, 0.0, north, 0.0, -pixelY};
    mosaic->SetGeoTransform(mosaicTransform);
    const GDALColorInterp colours[4] = {GCI_RedBand, GCI_GreenBand, GCI_BlueBand, GCI_AlphaBand};
    for (const GDALColorInterp colour : colours) {
        mosaic->AddBand(GDT_Byte, nullptr);
        mosaic->GetRasterBand(mosaic->GetRasterCount())->SetColorInterpretation(colour);
    }

    int unreadable = 0;
    for (const PlacedMap& map : maps) {
        const std::optional<BandChoice> bands = bandsOf(map.path);
        if (!bands) {
            std::fprintf(stderr, "vexa-maps vrt: %s: GDAL cannot read this image, left out\n", map.path.c_str());
            ++unreadable;
            continue;
        }
        const double x = (map.geoTransform[0] - west) / pixelX, y = (north - map.geoTransform[3]) / pixelY;
        const double w = map.width * map.geoTransform[1] / pixelX, h = -map.height * map.geoTransform[5] / pixelY;
        for (int i = 0; i < 4; ++i) {
            auto* band = static_cast<VRTSourcedRasterBand*>(mosaic->GetRasterBand(i + 1));
            const bool opaque = bands->band[i] == 0;
            band->AddComplexSource(map.path.c_str(), opaque ? 1 : bands->band[i], 0, 0, map.width, map.height, x, y,
                                   w, h, opaque ? 255.0 : 0.0, opaque ? 0.0 : 1.0, VRT_NODATA_UNSET,
                                   bands->palette ? i + 1 : 0);
        }
    }

    char** xml = mosaic->GetMetadata("xml:VRT");
    if (xml == nullptr || xml[0] == nullptr || !writeFileReplacing(out, xml[0])) {
        std::fprintf(stderr, "vexa-maps vrt: %s: cannot write it\n", out.c_str());
        return 1;
    }
    std::printf("%s: %zu maps, %d x %d pixels\n", out.c_str(), maps.size() - unreadable, width, height);
    return 0;
}

}  // namespace vexa
