#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>

#include "maps/map_catalogue.h"
#include "tests/maps/map_fixture.h"
#include "tests/support/ordinary_user.h"

namespace vexa::testing {
namespace {

void touch(const std::filesystem::path& file) { writeFile(file, ""); }

class FillKarteTab : public ::testing::Test {
protected:
    MapWorld w;
    void touchMaps(std::initializer_list<const char*> names) {
        for (const char* name : names) touch(w.dir / name);
    }
};

TEST_F(FillKarteTab, UtmMapIsPlacedFromItsName) {
    touch(w.dir / "karte_32_500000_5600000_100_1000_800.jpg");
    ASSERT_EQ(w.scan(), 0);
    const MapEntry& row = w.table.rows[0];
    EXPECT_EQ(row.left, 500000.0f);
    EXPECT_EQ(row.top, 5600000.0f);
    EXPECT_EQ(row.right, 510000.0f);
    EXPECT_EQ(row.bottom, 5592000.0f);
    EXPECT_EQ(row.resolution, 100);
    EXPECT_EQ(row.fileName(), "karte_32_500000_5600000_100_1000_800.jpg");
    EXPECT_EQ(row.extension(), "jpg");
    EXPECT_EQ(row.path, w.dir.string() + "/" + std::string(row.fileName()));
    EXPECT_EQ(w.grid.UtmZone, 32);
    EXPECT_EQ(w.grid.GkStrip, 32);
    EXPECT_FALSE(w.grid.LocalDatumGrid);
    EXPECT_EQ(w.table.zoneText, "32");
    EXPECT_EQ(w.frame.lastMapIndex, 0);
    EXPECT_TRUE(w.logHas("Verzeichnis mit UTM Karten WGS84"));
    EXPECT_TRUE(w.logHas("1. karte_32_500000_5600000_100_1000_800.jpg"));
    EXPECT_TRUE(w.logHas("1 Karten werden benutzt " + w.dir.string() + "/"));
}

TEST_F(FillKarteTab, MoreThanHundredResolutionsAllFitInTheTableAscending) {
    for (int r = 1; r <= 150; ++r) touch(w.dir / ("karte_32_500000_5600000_" + std::to_string(r * 3) + "_10_10.jpg"));
    ASSERT_EQ(w.scan(), 149);
    ASSERT_EQ(w.table.rows.size(), 150u);
    EXPECT_LE(w.table.rows.size(), w.table.capacity);
    EXPECT_EQ(w.table.rows.front().resolution, 3);
    EXPECT_EQ(w.table.rows.back().resolution, 450);
    EXPECT_TRUE(std::is_sorted(w.table.rows.begin(), w.table.rows.end(),
                               [](const MapEntry& a, const MapEntry& b) { return a.resolution < b.resolution; }));
    // With 100 files or more, progress is logged for every 50th row only.
    EXPECT_TRUE(w.logHas("1. Karte von 150 gelesen"));
    EXPECT_TRUE(w.logHas("101. Karte von 150 gelesen"));
    EXPECT_FALSE(w.logHas("2. Karte von 150 gelesen"));
}

TEST_F(FillKarteTab, OnlyNamesOfTheGrammarWithImageExtensionsAreCatalogued) {
    // Mixed-case extensions, other image kinds, other prefixes, missing and empty fields.
    touchMaps({"karte_32_500000_5600000_100_10_10.jpg", "KARTE_32_500000_5590000_100_10_10.JPG",
               "karte_32_500000_5580000_100_10_10.Jpg", "karte_32_500000_5570000_100_10_10.tif",
               "map_32_500000_5560000_100_10_10.jpg", "karte_32_500000_5550000_100.jpg",
               "karte_32_500000__100_10_10.jpg"});
    std::filesystem::create_directory(w.dir / "karte_32_1_2_100_10_10.png");
    ASSERT_EQ(w.scan(), 1);
    EXPECT_LE(w.table.rows.size(), w.table.capacity);
    for (const MapEntry& row : w.table.rows) EXPECT_TRUE(row.extension() == "jpg" || row.extension() == "JPG");
}

TEST(FillKarteTabGrids, NamesWhoseNumbersPutTheMapOffAnyGridAreReportedAndLeftOut) {
    struct Case { const char* dir; const char* name; };
    for (const Case c : {Case{"K_utm", "Karte_32_500000_5900000_1_99999999_1000.jpg"},
                         Case{"K_utm", "Karte_32_500000_5900000_1_1000_99999999.jpg"},
                         Case{"K_utm", "Karte_32_500000_5900000_100_0_1000.jpg"},
                         Case{"K_utm", "Karte_32_500000_5900000_100_1000_-5.jpg"},
                         Case{"K_utm", "Karte_32_500000__100_10_10.jpg"},
                         Case{"K_rpk", "Karte_0_100000_900000_1000_100_50.png"},      // 90°: endless stretch
                         Case{"K_rpk", "Karte_0_100000_880000_2000000000_1_1.png"}}) {  // stretched beyond int
        MapWorld w(c.dir);
        touch(w.dir / c.name);
        touch(w.dir / "karte_32_500000_5600000_100_10_10.jpg");
        EXPECT_EQ(w.scan(), 0) << c.name;
        EXPECT_EQ(w.table.rows[0].fileName(), "karte_32_500000_5600000_100_10_10.jpg") << c.name;
        EXPECT_TRUE(w.logHas(std::string(c.name) + " wird nicht benutzt, Name ungueltig")) << c.name;
    }
}

TEST_F(FillKarteTab, SameMapInTwoFormatsKeepsOneRow) {
    touchMaps({"karte_32_500000_5600000_100_1000_800.jpg", "karte_32_500000_5600000_100_1000_800.png",
               "karte_32_510000_5600000_100_1000_800.png"});
    ASSERT_EQ(w.scan(), 1);
    std::vector<std::string> names;
    for (const MapEntry& row : w.table.rows) names.emplace_back(row.fileName());
    const std::string kept = names[0].find("510000") == std::string::npos ? names[0] : names[1];
    EXPECT_TRUE(w.logHas(kept.substr(kept.size() - 3) + " wird benutzt"));
    EXPECT_TRUE(w.logHas("karte_32_500000_5600000_100_1000_800 doppelt"));
    EXPECT_TRUE(w.logHas("2 Karten werden benutzt " + w.dir.string() + "/"));
}

TEST_F(FillKarteTab, MapOfAnotherZoneIsDroppedAndAnUnsetStartMovesToTheFirstGroupsAverageCentre) {
    w.frame.viewCentre.gridX = 0.0;
    touchMaps({"karte_32_500000_5600000_100_1000_1000.jpg", "karte_32_520000_5600000_100_1000_1000.jpg",
               "karte_32_600000_5000000_200_10_10.jpg", "karte_33_300000_5600000_200_10_10.jpg"});
    ASSERT_EQ(w.scan(), 2);
    EXPECT_EQ(w.table.rows[0].resolution, 100);
    EXPECT_TRUE(w.logHas("karte_33_300000_5600000_200_10_10.jpg wird nicht benutzt, anderer UTM STreifen"));
    // Set after the first resolution group; the later map does not move it.
    EXPECT_DOUBLE_EQ(w.frame.viewCentre.gridX, 515000.0);
    EXPECT_DOUBLE_EQ(w.frame.viewCentre.gridY, 5595000.0);
}

TEST_F(FillKarteTab, InvalidOrEmptyDirectoryKeepsTheTable) {
    touch(w.dir / "karte_32_500000_5600000_100_10_10.jpg");
    MapScanContext configured{w.table, w.grid, w.frame, w.log, w.ui, w.dir.string(), true};
    ASSERT_EQ(fill_karte_tab(configured, std::nullopt), 0) << "the configured directory when none is given";
    // A name without a grid suffix: the table and the grid stay.
    const auto invalid = w.temp.path() / "Karten";
    std::filesystem::create_directory(invalid);
    touch(invalid / "karte_33_500000_5600000_100_10_10.jpg");
    EXPECT_EQ(w.scan(invalid), -1);
    ASSERT_EQ(w.ui.messages().size(), 1u);
    EXPECT_EQ(w.ui.messages()[0].caption, "Error");
    EXPECT_EQ(w.ui.messages()[0].text, "Kartenverzeichnis ungueltig,\nName enthält nicht \n_GK\n_UTM\n_UTE\n_RPK\n_QPK");
    EXPECT_TRUE(w.logHas("Ungueltiges Kartenverzeichnis <" + invalid.string() + "/>"));
    EXPECT_EQ(w.table.rows.size(), 1u);
    EXPECT_EQ(w.grid.UtmZone, 32);
    // A valid name without maps: the table stays, the grid is set.
    std::filesystem::create_directory(w.temp.path() / "leer_gk");
    EXPECT_EQ(w.scan(w.temp.path() / "leer_gk"), -1);
    EXPECT_EQ(w.table.rows.size(), 1u);
    EXPECT_TRUE(w.grid.LocalDatumGrid);
    EXPECT_TRUE(w.logHas("Verzeichnis mit Gauss Krüger Karten"));
}

// The scan lists one folder and looks at no entry twice: a folder it may not read has no maps;
// a link onto itself and a folder named like a map are not maps.
TEST_F(FillKarteTab, UnreadableFoldersAndLinkLoopsAreNoMaps) {
    touchMaps({"Karte_32_500000_5600000_100_10_10.png", "Karte_32_500100_5600000_100_10_10.png"});
    std::filesystem::create_symlink("Karte_32_500200_5600000_100_10_10.png",
                                    w.dir / "Karte_32_500200_5600000_100_10_10.png");
    std::filesystem::create_directory_symlink(".", w.dir / "schleife");
    std::filesystem::create_directory(w.dir / "Karte_32_500300_5600000_100_10_10.png");
    EXPECT_EQ(w.scan(), 1);
    const auto locked = w.temp.path() / "Gesperrt_utm";
    std::filesystem::create_directory(locked);
    touch(locked / "Karte_32_500000_5600000_100_10_10.png");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    asOrdinaryUser(w.temp.path(), [&] {
        EXPECT_EQ(w.scan(locked), -1);
        EXPECT_EQ(w.table.rows.size(), 2u);  // the table stays
    });
    chmod(locked.c_str(), 0755);
}

TEST(FillKarteTabGrids, RectangularPlateCarreeStretchesX) {
    MapWorld w("Karten_rpk");
    touch(w.dir / "karte_0_100000_520000_1000_100_50.png");
    ASSERT_EQ(w.scan(), 0);
    const MapEntry& row = w.table.rows[0];
    const double stretch = 1.0 / std::cos(52.0 * 3.1415926535898 / 180.0);
    EXPECT_NEAR(row.xStretch, stretch, 1e-5);
    EXPECT_NEAR(row.right, 100000.0 + 100 * stretch, 1e-2);
    EXPECT_EQ(row.bottom, 519950.0f);
    EXPECT_EQ(row.xResolution, static_cast<int>(1000 * row.xStretch));
    EXPECT_TRUE(w.grid.PlateCarreeGrid);
    EXPECT_EQ(w.grid.UtmZone, 32);
    EXPECT_EQ(w.grid.GkStrip, 3);
    // An empty table moves the start to 10° E, 52° N first.
    EXPECT_EQ(w.frame.viewCentre.gridX, 100000.0);
    EXPECT_EQ(w.frame.viewCentre.gridY, 520000.0);
    EXPECT_TRUE(w.logHas("Verzeichnis mit Rechteckigen Plattkarten"));
}

TEST(FillKarteTabGrids, SuffixesSetTheirGrids) {
    struct Case { const char* dir; bool mercator, plate, local, ed50; double radius; };
    for (const Case c : {Case{"K_mp", true, false, false, false, 6378137.0},
                         Case{"K_mg", true, false, false, false, 6371000.0},
                         Case{"K_ute", false, false, true, true, 0},
                         Case{"K_qpk", false, true, false, false, 0}}) {
        MapWorld w(c.dir);
        touch(w.dir / "karte_0_0_0_100_10_10.png");
        EXPECT_EQ(w.scan(), 0) << c.dir;
        EXPECT_EQ(w.grid.MercatorGrid, c.mercator) << c.dir;
        EXPECT_EQ(w.grid.PlateCarreeGrid, c.plate) << c.dir;
        EXPECT_EQ(w.grid.LocalDatumGrid, c.local) << c.dir;
        EXPECT_EQ(w.grid.Ed50Datum, c.ed50) << c.dir;
        if (c.mercator) {
            EXPECT_EQ(w.grid.MercatorRadius, c.radius);
            EXPECT_NEAR(w.table.mercatorHalfCircumference, 3.1415926535898 * c.radius, 1e-3);
        }
    }
}

TEST_F(FillKarteTab, ProgressGoesToTheCallbacks) {
    touchMaps({"karte_32_500000_5600000_100_10_10.jpg", "karte_32_500000_5600000_200_10_10.jpg"});
    std::vector<int> percents;
    std::vector<std::string> status;
    MapScanContext ctx{w.table, w.grid, w.frame, w.log, w.ui, {}, true};
    MapScanProgress progress{[&](int p) { percents.push_back(p); },
                             [&](std::string_view s) { status.emplace_back(s); }};
    ASSERT_EQ(fill_karte_tab(ctx, w.dir.string(), progress), 1);
    EXPECT_EQ(percents, (std::vector<int>{0, 50, 100, 100}));
    EXPECT_EQ(status, (std::vector<std::string>{"1. karte_32_500000_5600000_100_10_10.jpg",
                                                "2. karte_32_500000_5600000_200_10_10.jpg"}));
    EXPECT_FALSE(w.logHas("1. karte_32_500000_5600000_100_10_10.jpg"));
}

}  // namespace
}  // namespace vexa::testing
