// vexa-maps info, vrt, worldfiles and import as a user runs them, and what gdalinfo makes of the
// files they write.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tuple>

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
    const std::tuple<std::string, int, const char*> cases[] = {  // arguments, status, what it says
        {"", 2, "vexa-maps: give a COMMAND"},
        {"tiles x", 2, "unknown command 'tiles'"},
        {"info --help", 0, "usage: vexa-maps info DIR"},
        {"info", 2, "vexa-maps info: give DIR"},
        {"worldfiles a b", 2, "Try 'vexa-maps worldfiles --help'."},
        {"vrt " + q(dir / "nowhere_utm"), 1, "no such folder"},
        {"info " + q(dir / "Karten"), 1, "holds no grid"},
        {"vrt " + q(dir / "Leer_utm"), 1, "holds no maps"},
        {"info " + q(dir / "Leer_utm"), 0, "grid: UTM on WGS84, no zone yet (no maps)"},
        {"import --help", 0, "usage: vexa-maps import SOURCE"},
        {"import " + q(dir / "Leer_utm"), 2, "give at least one SOURCE and the TARGETDIR"},
        {"import a.tif b_utm --format gif", 2, "--format takes jpg or png"},
        {"import a.tif b_utm --bounds 1,2,3,4", 2, "--bounds needs --srs"},
        {"import " + q(dir / "nothing.tif") + " " + q(dir / "Neu_utm"), 1, "nothing.tif: no such file"},
    };
    for (const auto& [arguments, status, says] : cases) {
        const ToolRun r = runTool(VEXA_MAPS, arguments);
        EXPECT_TRUE(r.status == status && r.output.find(says) != std::string::npos) << arguments << "\n" << r.output;
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
        std::array<double, 2> upperLeft{1e9, -1e9}, lowerRight{-1e9, 1e9};  // west north, east south
        for (const MapEntry& row : folder.table.rows) {
            upperLeft = {std::min<double>(upperLeft[0], row.left), std::max<double>(upperLeft[1], row.top)};
            lowerRight = {std::max<double>(lowerRight[0], row.right), std::min<double>(lowerRight[1], row.bottom)};
        }
        EXPECT_EQ(jsonPair(info.output, "upperLeft"), upperLeft);
        // The mosaic ends on a whole pixel; imported tiles end on whole grid units.
        const double pixel = jsonPair(info.output, "geoTransform")[1];
        EXPECT_NEAR(jsonPair(info.output, "lowerRight")[0], lowerRight[0], pixel);
        EXPECT_NEAR(jsonPair(info.output, "lowerRight")[1], lowerRight[1], pixel);
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

    const ToolRun info = runTool("gdalinfo -json", q(map));
    EXPECT_EQ(jsonPair(info.output, "upperLeft"), (std::array{500000.0, 5600000.0}));
    EXPECT_EQ(jsonPair(info.output, "lowerRight"), (std::array{510000.0, 5590000.0}));
    // The Potsdam shift of the grid, not EPSG's.
    EXPECT_NE(info.output.find("631"), std::string::npos) << info.output;
}

}  // namespace
}  // namespace vexa::testing
