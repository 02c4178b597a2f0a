// The POI database on real volumes: import, reading with degrees-minutes-seconds, adding and
// deleting. The last position kept over two GPS stops is checked on the window (test_databases).
#include "frame/frame_state.h"
#include "geo/grid.h"
#include "frame/last_position.h"
#include "routes/place_directory.h"
#include "routes/poi_db.h"
#include "routes/poi_import.h"
#include "routes/poi_record.h"
#include "tests/routes/db_fixture.h"

namespace vexa {
namespace {

struct PoiDbTest : DbFixture {
    PoiDb pois;
    PoiTable table;

    std::optional<std::filesystem::path> import(const std::string& fileName, const std::string& text) {
        return ImportDB(db, text, dir / fileName, nullptr);
    }
    const PoiRecord& poi(int i) const { return table.records[static_cast<std::size_t>(i)]; }
};

TEST_F(PoiDbTest, ImportCreatesTheVolumeOnceAndReadsDegreesMinutesSeconds) {
    const std::string csv = "Kirche;1;0094530.0;534100.0;x\n"
                            "Brunnen;;2;;9.5;52.25;0\r\n"
                            "M\xfchle;2;10.0;53.0;\n";  // Latin-1 ü
    const auto volume = import("pois.csv", csv);
    ASSERT_TRUE(volume);
    EXPECT_EQ(*volume, dir / "pois.cdb");
    EXPECT_EQ(ui.messages().back().caption, "Import Ok");
    EXPECT_FALSE(import("pois.csv", csv));
    EXPECT_EQ(ui.messages().back().text, "POI Database \n" + (dir / "pois.cdb").string() + "\n existiert bereits");
    EXPECT_EQ(ui.messages().back().caption, "Import Error");

    const auto stored = records(*volume, kPoiDbName);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[1], (std::vector<std::string>{"Kirche", "1", "0094530.0", "534100.0", "0"}));
    EXPECT_EQ(stored[2][0], "Mühle");

    pois.currentVolume = *volume;
    ASSERT_EQ(CreateListPoiView(db, pois, table, grid), 3);
    EXPECT_EQ(table.capacity(), 103u);
    EXPECT_EQ(poi(1).name, "Kirche");
    EXPECT_NEAR(poi(1).lon, 9.758333, 1e-5);
    EXPECT_NEAR(poi(1).lat, 53.683333, 1e-5);
    EXPECT_EQ(poi(1).datumCode, kDatumWgs84);
    EXPECT_NEAR(poi(0).lon, 9.5, 1e-6);  // "Brunnen;;2": doubled separators count as one
    const GridPoint g = llh2utm(9.5, 52.25, 1, grid);
    EXPECT_NEAR(poi(0).gridX, g.easting, 0.5);
    EXPECT_EQ(poi(0).dbPath, volume->string());
    EXPECT_FALSE(import("pois", csv));  // no "." in the name
}

TEST_F(PoiDbTest, AddAndDeleteKeepTableAndVolumeInStep) {
    ASSERT_TRUE(PoiDbReset(db, pois, table, grid));
    EXPECT_FALSE(addPoi(db, pois, table, grid, "", {}, {550000.0, 5800000.0}));
    ASSERT_TRUE(addPoi(db, pois, table, grid, "Turm", {}, {550000.0, 5800000.0}));
    ASSERT_EQ(table.count, 1);
    EXPECT_NEAR(poi(0).gridX, 550000.0, 2.0);

    std::vector<Place> places = {{"Aachen", 6.08, 50.78}, {"Hannover", 9.73, 52.37}};
    FrameState frame;
    LastPosition last;
    choosePlace(places[static_cast<std::size_t>(defaultPlaceIndex(places))], table, grid, frame, last);
    ASSERT_EQ(table.count, 2);
    EXPECT_EQ(poi(1).dbPath, "Ortsverzeichnis");
    EXPECT_NEAR(frame.viewCentre.gridX, poi(1).gridX, 1e-6);
    EXPECT_DOUBLE_EQ(last.latitude, 52.37);

    selectPoi(pois, table, 1);
    EXPECT_FALSE(deleteSelectedPoi(db, pois, table));  // the place directory's POI stays
    selectPoi(pois, table, 0);
    EXPECT_TRUE(deleteSelectedPoi(db, pois, table));
    EXPECT_EQ(poi(0).name, "-deleted-");
    EXPECT_TRUE(records(defaultPoiVolume(), kPoiDbName).empty());
    selectPoi(pois, table, 0);
    EXPECT_FALSE(deleteSelectedPoi(db, pois, table));  // already deleted
}

TEST_F(PoiDbTest, FullTableSkipsNewPoisButStoresThem) {
    ASSERT_TRUE(PoiDbReset(db, pois, table, grid));
    table.count = 99;  // room for one more
    for (const char* name : {"p1", "p2"}) addPoi(db, pois, table, grid, name, {}, {550000.0, 5800000.0});
    EXPECT_EQ(table.count, 100);
    EXPECT_EQ(poi(99).name, "p1");
    EXPECT_NE(log.text().find("Zu viele neue Wegpunkte"), std::string::npos);
    EXPECT_EQ(records(defaultPoiVolume(), kPoiDbName).size(), 2u);
}

}  // namespace
}  // namespace vexa
