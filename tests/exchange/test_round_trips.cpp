// Route → file → route keeps every point and altitude; files no one wrote for us (empty,
// huge, deeply nested, entity bombs; random bytes: the fuzz targets) end with a message and
// never hang.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <fstream>
#include <random>

#include "exchange/export_format.h"
#include "exchange/gpx_reader.h"
#include "exchange/kml_reader.h"
#include "exchange/ovl_reader.h"
#include "exchange/poi_csv_reader.h"
#include "exchange/route_file_import.h"
#include "exchange_fixture.h"
#include "tests/support/temp_dir.h"

namespace vexa::testing {
namespace {

using ::testing::ElementsAre;

// 4000 points around Hamburg in two pieces, with altitudes from −50 to 949 m: written as each
// format, read back and written again.
TEST(RouteRoundTrip, KmlOvlAndGpxKeepEveryPointAndAltitude) {
    ExchangeFixture original;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> step(-0.002, 0.002);
    std::vector<std::array<double, 3>> points{{9.9, 53.55, -50}};
    for (int i = 1; i < 4000; ++i) points.push_back({points.back()[0] + step(random), points.back()[1] + step(random), i % 1000 - 50.0});
    original.setRoute(points);
    original.route->points[1999].lineKind = LineKind::NotDrawn;
    using Writer = std::string (*)(std::span<const ExportPoint>);
    const struct {
        const char* format;
        Writer write;
        bool altitude;
    } formats[] = {{"kml", [](std::span<const ExportPoint> p) { return routeKmlText(p, "r", 0, nullptr); }, true},
                   {"ovl", [](std::span<const ExportPoint> p) { return routeOvlText(p, nullptr); }, false},
                   {"gpx", [](std::span<const ExportPoint> p) { return routeGpxText(p, "r"); }, true}};
    for (const auto& f : formats) {
        const std::string text = f.write(routeExportPoints(*original.route, original.grid));
        ExchangeFixture back;
        ImportRouteFile(f.format, text, back.target);
        ASSERT_EQ(back.route->count, 4000) << f.format;
        for (int i = 0; i < 4000; ++i) {
            // The grid's inverse stops within a metre; OVL keeps six decimals.
            EXPECT_NEAR(back.point(i).gridX, original.point(i).gridX, 1.5) << f.format << i;
            EXPECT_NEAR(back.point(i).gridY, original.point(i).gridY, 1.5) << f.format << i;
            EXPECT_EQ(back.point(i).lineKind, original.point(i).lineKind) << f.format << i;
            if (f.altitude) { EXPECT_EQ(back.point(i).altitude, original.point(i).altitude) << f.format << i; }
        }
        // Written again, the file is the same: nothing drifts.
        EXPECT_EQ(f.write(routeExportPoints(*back.route, back.grid)).size(), text.size()) << f.format;
    }
}

TEST(PoiRoundTrip, CsvAndGpxKeepNamesAndPositionsExactly) {
    ExchangeFixture f;
    f.grid.PlateCarreeGrid = true;
    PoiTable pois;
    AllocPoiTab(pois, 2);
    pois.records[0] = {"Mühle", '2', 9.5, 53.25, 12, 95000, 532500, 0, ""};
    pois.records[1] = {"semi;colon \"Turm\" & 'Tor' <Äöü>", '2', -70.25, -33.5, -3, -702500, -335000, 0, ""};
    pois.count = 2;
    const auto csv = ParsePoiText(poiCsvText(pois, nullptr)).pois;
    const auto gpxPois = ParseGPX(poiGpxText(pois, f.grid), f.target).waypoints;
    for (const auto* back : {&csv, &gpxPois}) {
        ASSERT_EQ(back->size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ((*back)[i].name, pois.records[i].name);
            EXPECT_NEAR((*back)[i].lon, pois.records[i].lon, 1e-5);
            EXPECT_NEAR((*back)[i].lat, pois.records[i].lat, 1e-5);
        }
    }
    EXPECT_EQ(gpxPois[1].altitude, -3);
}

std::string nested(int depth) {
    std::string text = "<kml>";
    for (int i = 0; i < depth; ++i) text += "<Folder>";
    text += "<LineString><coordinates>9,53,1</coordinates></LineString>";
    for (int i = 0; i < depth; ++i) text += "</Folder>";
    return text + "</kml>";
}

std::string laughs(const char* root, const char* inner) {
    std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n<!ENTITY lol \"lol\">\n";
    for (int i = 1; i <= 9; ++i)
        text += "<!ENTITY lol" + std::to_string(i) + " \"" +
                [&] { std::string s; for (int k = 0; k < 10; ++k) s += "&lol" + (i > 1 ? std::to_string(i - 1) : std::string()) + ";"; return s; }() +
                "\">\n";
    return text + "]>\n<" + root + ">" + inner + "</" + root + ">";
}

// Pieces without end tags, not well-formed: the text search must not look for the missing
// tag once per piece.
std::string unclosedPieces(int count) {
    std::string text = "<kml>";
    for (int i = 0; i < count; ++i) text += "<LineString><coordinates>9,53,1</coordinates>";
    return text;
}

TEST(HostileFile, EndsWithAMessageOrARoute) {
    const std::pair<const char*, std::string> cases[] = {
        {"kml", ""}, {"ovl", ""}, {"gpx", ""}, {"kml", nested(200000)}, {"kml", unclosedPieces(300000)},
        {"kml", laughs("kml", "<LineString><coordinates>&lol9;</coordinates></LineString>")},
        {"gpx", laughs("gpx", "<wpt lat=\"1\" lon=\"2\"><name>&lol9;</name></wpt>")}};
    for (const auto& [format, text] : cases) {
        ExchangeFixture f;
        const RouteFileContent content = ImportRouteFile(format, text, f.target);
        EXPECT_TRUE(content.route || !content.waypoints.empty() || !f.ui.messages().empty()) << text.substr(0, 80);
        EXPECT_LE(f.route->count, 4000);
    }
}

TEST(HugeFile, HundredMegabytesReadInBoundedMemory) {
    TempDir dir;
    const std::filesystem::path path = dir / "huge.kml";
    {
        std::ofstream out(path, std::ios::binary);
        out << "<kml><Placemark><LineString><coordinates>\n";
        const std::string block = coordinateLines(20000);
        std::size_t written = 0;
        while (written < 100u << 20) {
            out << block;
            written += block.size();
        }
        out << "</coordinates></LineString></Placemark></kml>\n";
    }
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    ExchangeFixture f;
    {
        const InputFile input = readInputFile(path);
        ASSERT_TRUE(input);
        ParseKML(input.bytes, f.target);
    }
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(f.route->count, 4000);
    EXPECT_THAT(f.messages(), ElementsAre("KML hat mehr als 4000 Punkte"));
    // The file and the parser's copy of it, not more (ru_maxrss is in KiB). Sanitizer builds
    // keep shadow memory beside every byte, so the bound holds only without them.
#if !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 2 * 110 * 1024 + 32 * 1024);
#endif
}

}  // namespace
}  // namespace vexa::testing
