// Route OVL/KML/GPX and POI CSV/KML/GPX export: the files byte for byte, the messages, the
// datum shift back to WGS84, replacing files safely, and GPX valid against the schema.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "exchange/export_files.h"
#include "exchange/export_format.h"
#include "exchange/file_writing.h"
#include "exchange_fixture.h"
#include "frame/frame_state.h"
#include "geo/grid_refresh.h"
#include "routes/grid_refresh_tables.h"
#include "platform/clock.h"
#include "routes/poi_record.h"
#include "tests/support/temp_dir.h"

namespace vexa::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const DateTime kMay12{2007, 5, 12, 9, 30};

struct ExportFixture : ExchangeFixture {
    TempDir dir;
    FrameState frame;
    ExportContext context{grid, ui, diagnostics, dir.path()};
    PoiTable pois;

    ExportFixture() { grid.PlateCarreeGrid = true; }  // grid positions that convert exactly

    void addPoi(std::string name, double lon, double lat, double altitude) {
        AllocPoiTab(pois, static_cast<std::size_t>(pois.count + 1));
        PoiRecord& poi = pois.records[static_cast<std::size_t>(pois.count++)];
        std::tie(poi.name, poi.lon, poi.lat, poi.altitude) = std::tuple(std::move(name), lon, lat, altitude);
        PoiTab_Anpassen(pois, grid);
    }
    std::string file(const std::string& name) const { return readFile(dir / name); }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

class RecordingProgress : public ExportProgress {
public:
    void setPercent(int percent) override { percents.push_back(percent); }
    void showText(std::string_view text) override { texts.emplace_back(text); }
    std::vector<int> percents;
    std::vector<std::string> texts;
};

TEST(RouteExport, WritesOverlayKmlAndGpxUnderTheName) {
    ExportFixture f;
    f.setRoute({{9.5, 53.25, 12}, {9.75, 53.5, -3}});
    f.frame.selectedRoutePoint = 1;
    RecordingProgress progress;
    f.context.progress = &progress;
    EXPECT_TRUE(ExportRoute(*f.route, f.frame.selectedRoutePoint, routeExportName(kMay12), f.context));

    EXPECT_THAT(f.files(), ElementsAre("Track_20070512_0930.gpx", "Track_20070512_0930.kml", "Track_20070512_0930.ovl"));
    // 0.25° north and 0.25° east at 53° N: about 32.4 km.
    for (const char* extension : {"ovl", "kml"})
        EXPECT_EQ(f.file(std::string("Track_20070512_0930.") + extension),
                  readFile(std::string(VEXA_TEST_DATA "/one_piece.") + extension));
    EXPECT_EQ(f.frame.selectedRoutePoint, -1);

    const std::string dir = f.dir.path().string();
    EXPECT_THAT(f.messages(), ElementsAre("Export Route als Overlay auf " + dir + "/Track_20070512_0930.ovl ok",
                                          "Export Route als kml auf " + dir + "/Track_20070512_0930.kml ok"));
    EXPECT_EQ(f.ui.messages()[0].caption, "Export Route");
    EXPECT_TRUE(f.diagnosed("Export Track als kml " + dir + "/Track_20070512_0930.kml"));
    EXPECT_THAT(progress.texts, ElementsAre("XKoord0=9.500 YKoord0=53.250", "XKoord1=9.750 YKoord1=53.500",
                                            "9.50000000,53.25000000", "9.75000000,53.50000000"));
    EXPECT_THAT(progress.percents, ElementsAre(0, 0, 50, 0, 0, 50));
}

TEST(RouteExport, RefusesAnEmptyRouteAndStopsAtAFileItCannotWrite) {
    ExportFixture f;
    EXPECT_FALSE(ExportRoute(*f.route, f.frame.selectedRoutePoint, "leer", f.context));
    EXPECT_EQ(std::tuple(f.messages(), f.ui.messages()[0].caption), std::tuple(std::vector<std::string>{"Keine Route vorhanden"}, "Export Route"));

    f.setRoute({{9.5, 53.25, 0}});
    f.ui.clear();
    f.context.folder = f.dir / "missing";
    EXPECT_FALSE(ExportRoute(*f.route, f.frame.selectedRoutePoint, "r", f.context));
    EXPECT_TRUE(f.diagnosed("CreateFile " + (f.dir / "missing" / "r.ovl").string() + " failed"));
    EXPECT_FALSE(f.diagnosed("Export Track als kml " + (f.dir / "missing" / "r.kml").string())) << "stopped at the first";
    EXPECT_TRUE(f.messages().empty());
}

TEST(PoiExport, CsvIsLatin1AndKmlUtf8WithDeletedEntries) {
    ExportFixture f;
    f.addPoi("Mühle & Co", 9.5, 53.25, 12.4);
    f.addPoi("-deleted-", -9.75, -53.5, 0);
    EXPECT_TRUE(ExportPOIs(f.pois, kMay12, f.context));
    EXPECT_THAT(f.files(), ElementsAre("POI_20070512_0930.csv", "poi_20070512_0930.gpx", "poi_20070512_0930.kml"));
    EXPECT_EQ(f.file("POI_20070512_0930.csv"), readFile(VEXA_TEST_DATA "/pois.csv"));
    EXPECT_EQ(f.file("poi_20070512_0930.kml"), readFile(VEXA_TEST_DATA "/pois.kml"));
    const std::string dir = f.dir.path().string();
    EXPECT_THAT(f.messages(), ElementsAre("Export POIs auf " + dir + "/POI_20070512_0930.csv ok",
                                          "Export POIs auf " + dir + "/poi_20070512_0930.kml ok"));
    EXPECT_EQ(f.ui.messages()[1].caption, "Export POIs");

    f.ui.clear();
    EXPECT_FALSE(ExportPOIs(PoiTable{}, kMay12, f.context));
    EXPECT_THAT(f.messages(), ElementsAre("Keine POIs vorhanden"));
}

// A route of three points in two pieces, in the three route formats.
TEST(RouteExport, PiecesBecomeLineSymbolsLineStringsAndTrackSegments) {
    ExchangeFixture f;
    f.grid.PlateCarreeGrid = true;
    f.setRoute({{9.5, 53.25, 12}, {9.75, 53.5, -3}, {10, 54, 0}});
    f.route->points[0].lineKind = LineKind::NotDrawn;
    const auto points = routeExportPoints(*f.route, f.grid);
    EXPECT_EQ(routeOvlText(points, nullptr), readFile(VEXA_TEST_DATA "/two_pieces.ovl"));
    EXPECT_EQ(routeKmlText(points, "r", 1.5, nullptr), readFile(VEXA_TEST_DATA "/two_pieces.kml"));
    EXPECT_EQ(routeGpxText(points, "r"), readFile(VEXA_TEST_DATA "/two_pieces.gpx"));
}

TEST(FileWriting, ReplacesTheOldFileWholeAndLeavesNoTemporaryFile) {
    TempDir dir;
    // Temporaries of a.kml left by a killed write go; a younger one and other names stay.
    for (const char* name : {"a.kml.Xy12Ab", "a.kml.Zz99zz", "a.kml.bak", "b.kml.Xy12Ab"}) writeFile(dir / name, "");
    for (const char* name : {"a.kml.Xy12Ab", "a.kml.bak", "b.kml.Xy12Ab"})
        std::filesystem::last_write_time(dir / name, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    writeFile(dir / "a.kml", "old");
    EXPECT_TRUE(writeFileReplacing(dir / "a.kml", "new"));
    EXPECT_EQ(readFile(dir / "a.kml"), "new");
    std::filesystem::create_directory(dir / "taken.kml");  // rename over a folder fails
    EXPECT_FALSE(writeFileReplacing(dir / "taken.kml", "x"));
    EXPECT_FALSE(writeFileReplacing(dir / "missing" / "b.kml", "x"));
    const auto entries = std::distance(std::filesystem::directory_iterator(dir.path()), {});
    EXPECT_EQ(std::tuple(entries, std::filesystem::exists(dir / "a.kml.Xy12Ab")), std::tuple(5, false));
}

// xmllint with a copy of the GPX 1.1 schema: 0 when the file is valid.
int validateGpx(const std::filesystem::path& file) {
    const std::string command = "xmllint --noout --schema '" VEXA_TEST_DATA "/gpx11.xsd.gz' '" + file.string() + "' 2>&1";
    return std::system(command.c_str());
}

TEST(GpxExport, RouteAndPoisAreValidGpx11) {
    ExportFixture f;
    f.setRoute({{9.5, 53.25, 12}, {-179.999, -89.5, -400}, {180.0, 0, 0}});
    EXPECT_TRUE(ExportRoute(*f.route, f.frame.selectedRoutePoint, "Fahrt <1> & \"Ü\"\x01", f.context));
    f.addPoi("Mühle & <Co>", 9.5, 53.25, 12.4);
    f.addPoi("", 0, 0, 0);
    EXPECT_TRUE(ExportPOIs(f.pois, kMay12, f.context));
    EXPECT_EQ(std::tuple(validateGpx(f.dir / "Fahrt <1> & \"Ü\"\x01.gpx"), validateGpx(f.dir / "poi_20070512_0930.gpx")), std::tuple(0, 0));
    EXPECT_THAT(f.file("Fahrt <1> & \"Ü\"\x01.gpx"),
                HasSubstr("<trkpt lat=\"53.25000000\" lon=\"9.50000000\"><ele>12</ele></trkpt>"));
}

}  // namespace
}  // namespace vexa::testing
