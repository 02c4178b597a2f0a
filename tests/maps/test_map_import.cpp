// Rasters written with GDAL, imported into map folders and read back by the catalogue and the
// map loading; the marks in them checked against the program's own geodesy.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cmath>
#include <fstream>

#include <cpl_conv.h>
#include <gdal.h>
#include <ogr_spatialref.h>

#include "geo/grid.h"
#include "maps/import/map_import.h"
#include "maps/map_file_name.h"
#include "maps/render/map_loading.h"
#include "tests/maps/map_fixture.h"

namespace vexa::testing {
namespace {

struct Mark {
    double longitude, latitude;
};
// Three marks a few kilometres apart in Hannover.
constexpr Mark kMarks[] = {{9.700, 52.370}, {9.735, 52.386}, {9.752, 52.358}};
constexpr int kMarkPixels = 5;

OGRSpatialReference epsg(int code) {
    OGRSpatialReference srs;
    srs.importFromEPSG(code);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

// A grey raster in `code` around the marks, each a red square of 5 × 5 pixels, placed by PROJ.
// `driver` writes it to `file`; "PNG" adds a world file and a .prj, as GIS tools write them.
// `noisy` fills the eastern half with noise that no image format compresses.
void writeSource(const std::filesystem::path& file, const char* driver, int code, bool georeferenced = true,
                 bool noisy = false) {
    GDALAllRegister();
    const OGRSpatialReference srs = epsg(code), wgs84 = epsg(4326);
    std::unique_ptr<OGRCoordinateTransformation> toSource(OGRCreateCoordinateTransformation(&wgs84, &srs));
    std::vector<std::array<double, 2>> at;
    for (const Mark& m : kMarks) at.push_back({m.longitude, m.latitude}), toSource->Transform(1, &at.back()[0], &at.back()[1]);
    const auto [west, east] = std::minmax({at[0][0], at[1][0], at[2][0]});
    const auto [south, north] = std::minmax({at[0][1], at[1][1], at[2][1]});
    const double pixel = std::max(east - west, north - south) / 300.0;
    const int width = static_cast<int>((east - west) / pixel) + 80, height = static_cast<int>((north - south) / pixel) + 80;
    const double gt[6] = {west - 40 * pixel, pixel, 0, north + 40 * pixel, 0, -pixel};
    GDALDatasetH mem = GDALCreate(GDALGetDriverByName("MEM"), "", width, height, 3, GDT_Byte, nullptr);
    std::vector<std::uint8_t> plane(static_cast<std::size_t>(width) * height);
    for (int band = 1; band <= 3; ++band) {
        std::fill(plane.begin(), plane.end(), 60);
        for (int i = 0; noisy && i < width * height; ++i)
            if (i % width > width / 2) plane[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 2654435761u) >> 24);
        for (const auto& [x, y] : at) {
            const int px = static_cast<int>(std::floor((x - gt[0]) / pixel)) - kMarkPixels / 2;
            const int py = static_cast<int>(std::floor((gt[3] - y) / pixel)) - kMarkPixels / 2;
            for (int dy = 0; dy < kMarkPixels; ++dy)
                for (int dx = 0; dx < kMarkPixels; ++dx)
                    plane[static_cast<std::size_t>(py + dy) * width + px + dx] = band == 1 ? 255 : 0;
        }
        ASSERT_EQ(CE_None, GDALRasterIO(GDALGetRasterBand(mem, band), GF_Write, 0, 0, width, height, plane.data(), width, height,
                     GDT_Byte, 0, 0));
    }
    if (georeferenced) {
        GDALSetGeoTransform(mem, const_cast<double*>(gt));
        GDALSetSpatialRef(mem, OGRSpatialReference::ToHandle(const_cast<OGRSpatialReference*>(&srs)));
    }
    const bool png = std::string(driver) == "PNG";
    const char* options[] = {png && georeferenced ? "WORLDFILE=YES" : nullptr, nullptr};
    GDALClose(GDALCreateCopy(GDALGetDriverByName(driver), file.c_str(), mem, FALSE, const_cast<char**>(options),
                             nullptr, nullptr));
    GDALClose(mem);
    if (png && georeferenced) {
        std::filesystem::remove(file.string() + ".aux.xml");  // GDAL's own note of the system
        const char* esri[] = {"FORMAT=WKT1_ESRI", nullptr};
        char* wkt = nullptr;
        srs.exportToWkt(&wkt, esri);
        std::ofstream(std::filesystem::path(file).replace_extension(".prj")) << wkt;
        CPLFree(wkt);
    }
}

// The mark's place on the grid as the program computes it from WGS84.
GridPoint gridPosition(const Mark& m, const GridContext& grid) {
    if (!grid.LocalDatumGrid) return llh2utm(m.longitude, m.latitude, 1, grid);
    const GeodeticPoint local = wgs84ToLocal(m.longitude, m.latitude, grid);
    return llh2utm(local.longitude, local.latitude, 1, grid);
}

// The centre of the red pixels within `radius` grid units of `expected`, over all maps loaded.
std::optional<GridPoint> redCentre(MapWorld& w, GridPoint expected, double radius) {
    double sx = 0, sy = 0;
    int count = 0;
    for (const MapEntry& row : w.table.rows) {
        const auto name = parseMapFileName(row.fileName());
        const double left = name->left, top = name->top;
        const double unit = 1000.0 / row.resolution;
        if (expected.easting < left - radius || expected.easting > left + row.widthPx * unit + radius ||
            expected.northing > top + radius || expected.northing < top - row.heightPx * unit - radius)
            continue;
        const QImage image = ReadBitmapFromFile(row, 0, w.log).bitmap;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                const double e = left + (x + 0.5) * unit, n = top - (y + 0.5) * unit;
                if (qRed(c) > 160 && qGreen(c) < 110 && std::hypot(e - expected.easting, n - expected.northing) < radius)
                    sx += e, sy += n, ++count;
            }
    }
    if (count == 0) return std::nullopt;
    return GridPoint{sx / count, sy / count};
}

TEST(MapImport, MarksLandWithinAPixelOfTheirGridPositionForEverySourceAndGrid) {
    struct Case {
        const char* source;
        const char* driver;
        int epsg;
        const char* folder;
    };
    const Case cases[] = {
        {"utm32.tif", "GTiff", 25832, "Karten_utm"},   {"wgs84.tif", "GTiff", 4326, "Karten_gk"},
        {"web.tif", "GTiff", 3857, "Karten_mp"},       {"web.mbtiles", "MBTiles", 3857, "Karten_qpk"},
        {"scan.png", "PNG", 25832, "Karten_gk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " -> " + c.folder);
        MapWorld w(c.folder);
        writeSource(w.temp / c.source, c.driver, c.epsg);
        ImportRequest request;
        request.sources = {(w.temp / c.source).string()};
        request.targetDir = w.dir.string();
        request.tilePixels = 256;
        const ImportResult result = importMaps(request, {}, nullptr);
        ASSERT_TRUE(result.ok) << result.message;
        ASSERT_EQ(w.scan(), result.tilesWritten - 1);
        const double pixel = 1000.0 / result.resolution;
        for (const Mark& m : kMarks) {
            const GridPoint expected = gridPosition(m, w.grid);
            const auto found = redCentre(w, expected, 8 * pixel);
            ASSERT_TRUE(found) << m.longitude << " " << m.latitude;
            EXPECT_LT(std::max(std::abs(found->easting - expected.easting), std::abs(found->northing - expected.northing)), pixel);
        }
    }
}

// GIF maps, which GDAL writes and Qt only reads, keep their 8 bits and their grey levels.
TEST(MapImport, GifMapsKeepTheirEightBits) {
    MapWorld w;
    GDALAllRegister();
    GDALDatasetH mem = GDALCreate(GDALGetDriverByName("MEM"), "", 120, 100, 1, GDT_Byte, nullptr);
    std::vector<std::uint8_t> plane(120 * 100);
    for (std::size_t i = 0; i < plane.size(); ++i) plane[i] = static_cast<std::uint8_t>(i % 120 / 10 * 20);
    ASSERT_EQ(CE_None, GDALRasterIO(GDALGetRasterBand(mem, 1), GF_Write, 0, 0, 120, 100, plane.data(), 120, 100, GDT_Byte, 0, 0));
    const auto file = w.dir / "karte_32_500000_5600000_100_120_100.gif";
    GDALClose(GDALCreateCopy(GDALGetDriverByName("GIF"), file.c_str(), mem, FALSE, nullptr, nullptr, nullptr));
    GDALClose(mem);
    ASSERT_EQ(w.scan(), 0);
    const QImage image = ReadBitmapFromFile(w.table.rows[0], 0, w.log).bitmap;
    EXPECT_EQ(image.depth(), 8);
    EXPECT_EQ(image.pixel(35, 95), qRgb(60, 60, 60));
}

TEST(MapImport, BadInputIsNamedAndLeavesNothingHalfWritten) {
    // A PNG scan or a GeoTIFF in UTM zone 32, a .prj written over the scan's, the zone asked for,
    // a target folder below a file, a full disk.
    const struct {
        const char* source;
        bool georeferenced;
        const char* prj;
        int zone;
        bool belowFile, diskFull;
        const char* message;
    } cases[] = {
        {"scan.png", false, nullptr, 0, false, false,
         "scan.png has no georeference: add a world file and .prj, or give --srs and --bounds"},
        {"scan.png", true, "PROJCS[\"nonsense\"]", 0, false, false,
         "scan.prj: GDAL does not know this coordinate reference system"},
        {"h.tif", true, nullptr, 34, false, false, "beyond the zone and its overlap"},
        {"h.tif", true, nullptr, 0, true, false, "the target folder cannot be written"},
        {"h.tif", true, nullptr, 0, false, true, "could not be written: the disk is full; "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        TempDir temp;
        writeSource(temp / c.source, c.source[0] == 's' ? "PNG" : "GTiff", 25832, c.georeferenced, c.diskFull);
        if (c.prj) std::ofstream(temp / "scan.prj") << c.prj;
        if (c.belowFile) std::ofstream(temp / "file") << "x";
        ImportRequest request;
        request.sources = {(temp / c.source).string()};
        request.targetDir = (temp / (c.belowFile ? "file/Karten_utm" : "Karten_utm")).string();
        request.tilePixels = 64;
        if (c.zone) request.zone = c.zone;
        if (c.diskFull) request.format = "png";
        // A file size limit stands in for a full disk: writing past it fails as on a full one.
        rlimit unlimited{};
        getrlimit(RLIMIT_FSIZE, &unlimited);
        const rlimit limited{6000, unlimited.rlim_max};
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        if (c.diskFull) setrlimit(RLIMIT_FSIZE, &limited);
        const ImportResult result = importMaps(request, {}, nullptr);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, oldSignal);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
        // Only whole tiles stay: none, or on the full disk those written before it filled.
        std::error_code ec;
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(request.targetDir, ec)) {
            ++files;
            EXPECT_TRUE(entry.path().filename().string().starts_with("Karte_")) << entry.path();
            EXPECT_FALSE(QImage(QString::fromStdString(entry.path().string())).isNull()) << entry.path();
        }
        EXPECT_EQ(files > 0, c.diskFull);
    }
}

}  // namespace
}  // namespace vexa::testing
