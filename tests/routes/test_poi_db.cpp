// The POI database on real volumes: import, reading with degrees-minutes-seconds, adding and
// deleting. The last position kept over two GPS stops is checked on the window (test_databases).
#include <algorithm>
#include <cmath>
#include <tuple>

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
    PoiImportFailure failure;

    std::optional<std::filesystem::path> import(const std::string& fileName, const std::string& text) {
        return ImportDB(db, text, dir / fileName, nullptr, &failure);
    }
    const PoiRecord& poi(int i) const { return table.records[static_cast<std::size_t>(i)]; }
};

TEST_F(PoiDbTest, ImportCreatesTheVolumeOnceAndReadsDegreesMinutesSeconds) {
    const std::string csv = "Kirche;1;0094530.0;534100.0;x\n"
                            "Brunnen;;2;;9.5;52.25;0\r\n"
                            "M\xfchle;2;10.0;53.0;\n";  // Latin-1 ü
    const auto volume = import("pois.csv", csv);
    ASSERT_TRUE(volume);
    EXPECT_EQ(std::tuple(*volume, ui.messages().back().caption), std::tuple(dir / "pois.cdb", "Import Ok"));
    EXPECT_FALSE(import("pois.csv", csv));
    EXPECT_EQ(std::tuple(ui.messages().back().text, ui.messages().back().caption, failure.kind),
              std::tuple("POI Database \n" + (dir / "pois.cdb").string() + "\n existiert bereits", "Import Error",
                         PoiImportFailure::Kind::Exists));

    const auto stored = records(*volume, kPoiDbName);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[1], (std::vector<std::string>{"Kirche", "1", "0094530.0", "534100.0", "0"}));
    EXPECT_EQ(stored[2][0], "Mühle");

    pois.currentVolume = *volume;
    ASSERT_EQ(CreateListPoiView(db, pois, table, grid), 3);
    EXPECT_EQ(std::tuple(table.capacity(), poi(1).name, poi(1).datumCode), std::tuple(103u, "Kirche", kDatumWgs84));
    EXPECT_NEAR(poi(1).lon, 9.758333, 1e-5);  // 9° 45' 30"
    EXPECT_NEAR(poi(1).lat, 53.683333, 1e-5);
    EXPECT_NEAR(poi(0).lon, 9.5, 1e-6);  // "Brunnen;;2": doubled separators count as one
    EXPECT_NEAR(poi(0).gridX, llh2utm(9.5, 52.25, 1, grid).easting, 0.5);
    EXPECT_EQ(poi(0).dbPath, volume->string());
    EXPECT_FALSE(import("pois", csv));  // no "." in the name
    // The volume is named by the text before the first ".", which must not be empty.
    for (const auto& [file, volume] : {std::pair{"a.b.csv", "a.cdb"}, {"pois", ""}, {".csv", ""}})
        EXPECT_EQ(importVolumeFor(dir / file).value_or("").filename(), volume) << file;
}

TEST_F(PoiDbTest, ImportLeavesOutUnreadableLinesAndAFileWithoutAnyLeavesNoVolume) {
    EXPECT_FALSE(import("bad.csv", "x;WGS84;abc;def;0\nY;2;nan;1;0\n"));
    EXPECT_EQ(std::tuple(std::filesystem::exists(dir / "bad.cdb"), ui.messages().back().caption, failure.kind),
              std::tuple(false, "Import Error", PoiImportFailure::Kind::NoReadableLine));
    std::vector<int> percents;
    ASSERT_TRUE(ImportDB(db, "Name;Datum;Lon;Lat;Hoehe\n\"a;b\";2;9;53;0\nx;2;abc;53;0\n", dir / "good.csv",
                         [&](int p) { percents.push_back(p); }));
    EXPECT_EQ(std::tuple(std::is_sorted(percents.begin(), percents.end()), percents.empty() ? -1 : percents.back()), std::tuple(true, 100));
    EXPECT_NE(log.text().find("Zeile 3: Koordinaten nicht lesbar, übersprungen\r\na;b\r\n"), std::string::npos) << "names listed";
    EXPECT_EQ(records(dir / "good.cdb", kPoiDbName), (std::vector<std::vector<std::string>>{{"a;b", "2", "9", "53", "0"}}));
}

TEST_F(PoiDbTest, AddAndDeleteKeepTableAndVolumeInStep) {
    ASSERT_TRUE(PoiDbReset(db, pois, table, grid));
    EXPECT_FALSE(addPoi(db, pois, table, grid, "", {}, {550000.0, 5800000.0}));
    ASSERT_TRUE(addPoi(db, pois, table, grid, "Turm", {}, {550000.0, 5800000.0}));
    EXPECT_EQ(std::tuple(table.count, std::round(poi(0).gridX / 10)), std::tuple(1, 55000.0));

    std::vector<Place> places = {{"Aachen", 6.08, 50.78}, {"Hannover", 9.73, 52.37}};
    FrameState frame;
    LastPosition last;
    choosePlace(places[static_cast<std::size_t>(defaultPlaceIndex(places))], table, grid, frame, last);
    EXPECT_EQ(std::tuple(table.count, poi(1).dbPath, frame.viewCentre.gridX, last.latitude), std::tuple(2, "Ortsverzeichnis", poi(1).gridX, 52.37));

    selectPoi(pois, table, 1);
    EXPECT_FALSE(deleteSelectedPoi(db, pois, table));  // the place directory's POI stays
    selectPoi(pois, table, 0);
    EXPECT_TRUE(deleteSelectedPoi(db, pois, table));
    EXPECT_EQ(std::tuple(poi(0).name, records(defaultPoiVolume(), kPoiDbName).size()), std::tuple("-deleted-", 0u));
    selectPoi(pois, table, 0);
    EXPECT_FALSE(deleteSelectedPoi(db, pois, table));  // already deleted
}

TEST_F(PoiDbTest, FullTableSkipsNewPoisButStoresThem) {
    ASSERT_TRUE(PoiDbReset(db, pois, table, grid));
    table.count = 99;  // room for one more
    for (const char* name : {"p1", "p2"}) addPoi(db, pois, table, grid, name, {}, {550000.0, 5800000.0});
    EXPECT_EQ(std::tuple(table.count, poi(99).name, records(defaultPoiVolume(), kPoiDbName).size()), std::tuple(100, "p1", 2u));
    EXPECT_NE(log.text().find("Zu viele neue Wegpunkte"), std::string::npos);
}

}  // namespace
}  // namespace vexa
