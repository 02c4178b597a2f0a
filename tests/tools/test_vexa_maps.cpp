// vexa-maps info, vrt, worldfiles and import as a user runs them, and what gdalinfo makes of the
// files they write.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "maps/map_folder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tool_run.h"

namespace vexa::testing {
namespace {

// The two numbers after "name":[ in gdalinfo's JSON.
std::array<double, 2> jsonPair(const std::string& json, const std::string& name) {
    std::array<double, 2> v{NAN, NAN};
    const std::size_t at = json.find("\"" + name + "\":[");
    if (at != std::string::npos) std::sscanf(json.c_str() + json.find('[', at) + 1, " %lf , %lf", &v[0], &v[1]);
    return v;
}

const std::string kDemoMaps = VEXA_SOURCE_DIR "/data/demo/maps/Karten_utm";

TEST(VexaMaps, CommandLinesAndFoldersItRefuses) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Karten");
    std::filesystem::create_directories(dir / "Leer_utm");
    const struct {
        std::string arguments;
        int status;
        const char* says;
    } cases[] = {
        {"", 2, "vexa-maps: give a COMMAND"},
        {"tiles x", 2, "unknown command 'tiles'"},
        {"info --help", 0, "usage: vexa-maps info DIR"},
        {"info", 2, "vexa-maps info: give DIR"},
        {"worldfiles a b", 2, "Try 'vexa-maps worldfiles --help'."},
        {"vrt " + q(dir / "nowhere_utm"), 1, "no such folder"},
        {"info " + q(dir / "Karten"), 1, "holds no grid"},
        {"vrt " + q(dir / "Leer_utm"), 1, "holds no maps"},
        {"import --help", 0, "usage: vexa-maps import SOURCE"},
        {"import " + q(dir / "Leer_utm"), 2, "give at least one SOURCE and the TARGETDIR"},
        {"import a.tif b_utm --format gif", 2, "--format takes jpg or png"},
        {"import a.tif b_utm --bounds 1,2,3,4", 2, "--bounds needs --srs"},
        {"import " + q(dir / "nothing.tif") + " " + q(dir / "Neu_utm"), 1, "nothing.tif: no such file"},
    };
    for (const auto& c : cases) {
        const ToolRun r = runTool(VEXA_MAPS, c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments << "\n" << r.output;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << c.arguments << "\n" << r.output;
    }
}

TEST(VexaMaps, InfoTellsTheGridTheMapsAndWhatIsLeftOut) {
    TempDir dir;
    const std::filesystem::path folder = dir / "Karten_gk";
    std::filesystem::create_directories(folder);
    for (const char* name : {"Karte_3_500000_5600000_100_1000_800.png", "Karte_3_500000_5600000_100_1000_800.jpg",
                             "Karte_3_510000_5600000_25_1000_1000.png", "Karte_4_500000_5600000_100_10_10.png",
                             "Karte_3_500000_5600000_100_x_10.png"})
        writeFile(folder / name, "");
    const ToolRun r = runTool(VEXA_MAPS, "info " + q(folder));
    EXPECT_EQ(r.status, 0) << r.output;
    for (const char* line : {"grid: Gauss-Krueger strip 3 on the Potsdam datum", "maps: 2",
                             "resolution 25 (pixels per 1000 grid units): 1",
                             "grid bounds (west south east north): 500000 5560000 550000 5600000",
                             "Karte_4_500000_5600000_100_10_10.png: another zone or strip",
                             "Karte_3_500000_5600000_100_x_10.png: its name does not place it",
                             "karte_3_500000_5600000_100_1000_800: the same map in two image formats, the .jpg"})
        EXPECT_NE(r.output.find(line), std::string::npos) << line << "\n" << r.output;
}

TEST(VexaMaps, VrtMosaicCoversWhatTheCatalogueCovers) {
    // The demo maps, and a folder imported from a demo map that gdal_translate placed in WGS84.
    TempDir dir;
    const std::filesystem::path imported = dir / "Neu_utm", source = dir / "wgs84.tif";
    ASSERT_EQ(runTool("gdal_translate -q -a_srs EPSG:4326 -a_ullr 9.70 52.39 9.75 52.36",
                  q(kDemoMaps + "/Karte_32_300000_5700000_10_1000_1000.png") + " " + q(source)).status, 0);
    const ToolRun import = runTool(VEXA_MAPS, "import -q --tile 300 " + q(source) + " " + q(imported));
    ASSERT_EQ(import.status, 0) << import.output;
    for (const std::filesystem::path& maps : {std::filesystem::path(kDemoMaps), imported}) {
        SCOPED_TRACE(maps);
        const ToolRun r = runTool(VEXA_MAPS, "vrt " + q(maps) + " " + q(dir / "maps.vrt"));
        ASSERT_EQ(r.status, 0) << r.output;
        const ToolRun info = runTool("gdalinfo -json", q(dir / "maps.vrt"));
        ASSERT_EQ(info.status, 0) << info.output;

        const MapFolder folder = readMapFolder(maps.string());
        ASSERT_GT(folder.table.rows.size(), 1u);
        float west = 1e9f, east = -1e9f, south = 1e9f, north = -1e9f;
        for (const MapEntry& row : folder.table.rows) {
            west = std::min(west, row.left);
            east = std::max(east, row.right);
            south = std::min(south, row.bottom);
            north = std::max(north, row.top);
        }
        const std::array<double, 2> upperLeft = jsonPair(info.output, "upperLeft");
        const std::array<double, 2> lowerRight = jsonPair(info.output, "lowerRight");
        EXPECT_DOUBLE_EQ(upperLeft[0], west);
        EXPECT_DOUBLE_EQ(upperLeft[1], north);
        // The mosaic ends on a whole pixel; imported tiles end on whole grid units.
        const double pixel = jsonPair(info.output, "geoTransform")[1];
        EXPECT_NEAR(lowerRight[0], east, pixel);
        EXPECT_NEAR(lowerRight[1], south, pixel);
        EXPECT_NE(info.output.find("UTM zone 32"), std::string::npos);
    }
}

TEST(VexaMaps, WorldFilesPlaceEachMapForGdal) {
    TempDir dir;
    const std::filesystem::path folder = dir / "Karten_gk";
    std::filesystem::create_directories(folder);
    const std::filesystem::path map = folder / "Karte_3_500000_5600000_100_1000_1000.png";
    std::filesystem::copy_file(kDemoMaps + "/Karte_32_300000_5700000_10_1000_1000.png", map);
    ASSERT_EQ(runTool(VEXA_MAPS, "worldfiles " + q(folder)).status, 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "Karte_3_500000_5600000_100_1000_1000.pgw"));
    EXPECT_TRUE(std::filesystem::exists(folder / "Karte_3_500000_5600000_100_1000_1000.prj"));

    const ToolRun info = runTool("gdalinfo -json", q(map));
    const std::array<double, 2> upperLeft = jsonPair(info.output, "upperLeft");
    const std::array<double, 2> lowerRight = jsonPair(info.output, "lowerRight");
    EXPECT_DOUBLE_EQ(upperLeft[0], 500000.0);
    EXPECT_DOUBLE_EQ(upperLeft[1], 5600000.0);
    EXPECT_DOUBLE_EQ(lowerRight[0], 510000.0);
    EXPECT_DOUBLE_EQ(lowerRight[1], 5590000.0);
    // The Potsdam shift of the grid, not EPSG's.
    EXPECT_NE(info.output.find("631"), std::string::npos) << info.output;
}

}  // namespace
}  // namespace vexa::testing
