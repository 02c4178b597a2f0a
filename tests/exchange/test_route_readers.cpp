// KML, OVL and GPX route import: what real files hold, the handheld's own files, and the
// messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "exchange/gpx_reader.h"
#include "exchange/kml_reader.h"
#include "exchange/ovl_reader.h"
#include "exchange/route_file_import.h"
#include "exchange_fixture.h"
#include "geo/datum.h"

namespace vexa::testing {
namespace {

using namespace std::string_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct KmlCase {
    const char* name;
    std::string text;
    std::vector<std::array<double, 3>> points;  // lon, lat, altitude of every point
    int pieces;                                 // "ParseKML n. Teilroute" lines
    std::vector<int> pieceEnds = {};            // points whose onward leg is not drawn
};

std::vector<KmlCase> kmlCases() {
    const std::string bom = "\xEF\xBB\xBF";
    return {
        {"two LineStrings of 3 and 2 points", kmlWithLines({"9.1,53.1,1 9.2,53.2,2 9.3,53.3,3", "9.4,53.4,4 9.5,53.5,5"}),
         {{9.1, 53.1, 1}, {9.2, 53.2, 2}, {9.3, 53.3, 3}, {9.4, 53.4, 4}, {9.5, 53.5, 5}}, 2, {2}},
        {"west and south, below sea level", kmlWithLines({"-74.0059,-40.7128,-12.7 -0.5,51.5,3"}),
         {{-74.0059, -40.7128, -12}, {-0.5, 51.5, 3}}, 1},
        {"padded numbers, tabs, CRLF, blanks around commas", kmlWithLines({"\r\n\t+008.5 , +053.25 ,007\r\n\t9.5,53.5"}),
         {{8.5, 53.25, 7}, {9.5, 53.5, 0}}, 1},
        {"comments between and after tuples", kmlWithLines({"9.1,53.1,1<!-- a 5,5,5 -->9.2,53.2,2 <!-- end -->"}),
         {{9.1, 53.1, 1}, {9.2, 53.2, 2}}, 1},
        {"numbers only blank-separated, taken three at a time", kmlWithLines({"9.1 53.1 1 9.2 53.2 2"}),
         {{9.1, 53.1, 1}, {9.2, 53.2, 2}}, 1},
        {"UTF-8 BOM, prefixes, Folders and MultiGeometry in document order",
         bom + "<kml:kml xmlns:kml=\"http://www.opengis.net/kml/2.2\"><kml:Folder><kml:Placemark>"
               "<kml:MultiGeometry><kml:LineString><kml:coordinates>1,2,3</kml:coordinates></kml:LineString>"
               "<kml:Point><kml:coordinates>50,50,50</kml:coordinates></kml:Point>"
               "<kml:LineString><kml:coordinates>4,5,6</kml:coordinates></kml:LineString></kml:MultiGeometry>"
               "</kml:Placemark><kml:Folder><kml:Placemark><kml:LineString><kml:coordinates>7,8,9"
               "</kml:coordinates></kml:LineString></kml:Placemark></kml:Folder></kml:Folder></kml:kml>",
         {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, 3, {0, 1}},
        {"gx:Track only when there is no LineString",
         "<kml xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><Placemark><gx:Track><when>x</when>"
         "<gx:coord>9.1 53.1 10</gx:coord><gx:coord>9.2 53.2 20</gx:coord></gx:Track></Placemark></kml>",
         {{9.1, 53.1, 10}, {9.2, 53.2, 20}}, 1},
        {"a track beside its LineString comes in once",
         "<kml xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><Placemark><gx:Track><gx:coord>9.1 53.1 10</gx:coord>"
         "<gx:coord>9.2 53.2 20</gx:coord></gx:Track></Placemark><Placemark><LineString><coordinates>"
         "9.1,53.1,10 9.2,53.2,20</coordinates></LineString></Placemark></kml>",
         {{9.1, 53.1, 10}, {9.2, 53.2, 20}}, 1},
        {"coordinates in CDATA", kmlWithLines({"<![CDATA[9.1,53.1,1 9.2,53.2,2]]>"}), {{9.1, 53.1, 1}, {9.2, 53.2, 2}}, 1},
        {"an empty LineString leaves the track",
         "<kml xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><Placemark><gx:Track><gx:coord>9.1 53.1 10</gx:coord>"
         "<gx:coord>9.2 53.2 20</gx:coord></gx:Track><LineString><coordinates> </coordinates></LineString></Placemark></kml>",
         {{9.1, 53.1, 10}, {9.2, 53.2, 20}}, 1},
        {"not well-formed: the text search finds both pieces",
         "<kml><Placemark><LineString><coordinates>9.1,53.1,1 9.2,53.2,2</coordinates></LineString>"
         "<LineString><coordinates>\n-9.3,53.3,3\n</coordinates></LineString><unclosed></kml>",
         {{9.1, 53.1, 1}, {9.2, 53.2, 2}, {-9.3, 53.3, 3}}, 2, {1}},
        {"not well-formed, comment in coordinates",
         "<kml><LineString><coordinates>9.1,53.1,1 <!-- 7,7,7 --> 9.2,53.2,2</coordinates></LineString>",
         {{9.1, 53.1, 1}, {9.2, 53.2, 2}}, 1},
    };
}

class KmlRead : public ::testing::TestWithParam<KmlCase> {};

TEST_P(KmlRead, StoresEveryPointWithItsAltitude) {
    const KmlCase& c = GetParam();
    ExchangeFixture f;
    EXPECT_TRUE(ParseKML(c.text, f.target));
    ASSERT_EQ(f.route->count, static_cast<int>(c.points.size()));
    for (std::size_t i = 0; i < c.points.size(); ++i) {
        const TrackPoint& p = f.point(static_cast<int>(i));
        EXPECT_NEAR(p.lon, c.points[i][0], 1e-5) << i;
        EXPECT_NEAR(p.lat, c.points[i][1], 1e-5) << i;
        EXPECT_EQ(p.altitude, c.points[i][2]) << i;
        EXPECT_EQ(p.datumCode, '2');
        const bool end = std::find(c.pieceEnds.begin(), c.pieceEnds.end(), static_cast<int>(i)) != c.pieceEnds.end();
        EXPECT_EQ(p.lineKind, end ? LineKind::NotDrawn : LineKind::Blue) << i;
    }
    for (int piece = 1; piece <= c.pieces; ++piece)
        EXPECT_TRUE(f.diagnosed("ParseKML " + std::to_string(piece) + ". Teilroute")) << piece;
    EXPECT_FALSE(f.diagnosed("ParseKML " + std::to_string(c.pieces + 1) + ". Teilroute"));
    EXPECT_THAT(f.messages(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Files, KmlRead, ::testing::ValuesIn(kmlCases()),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

struct FailureCase {
    const char* name;
    std::string text;
    const char* message;
    const char* caption;
};

class KmlFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(KmlFailure, LeavesAnEmptyRouteAndSaysWhy) {
    const FailureCase& c = GetParam();
    ExchangeFixture f;
    f.setRoute({{9, 53, 0}});
    EXPECT_FALSE(ParseKML(c.text, f.target));
    EXPECT_EQ(f.route->count, 0);
    ASSERT_EQ(f.ui.messages().size(), 1u);
    EXPECT_EQ(f.ui.messages()[0].text, c.message);
    EXPECT_EQ(f.ui.messages()[0].caption, c.caption);
    EXPECT_TRUE(f.diagnosed(c.message));
}

INSTANTIATE_TEST_SUITE_P(
    Files, KmlFailure,
    ::testing::Values(
        FailureCase{"no LineString", "<kml><Placemark><Point><coordinates>9,53,0</coordinates></Point></Placemark></kml>",
                    "Die KML Datei enthält keine Route", "ParseKML"},
        FailureCase{"LineString without coordinates", "<kml><LineString><x>1,2,3</x></LineString></kml>",
                    "Die KML Datei enthält keine Route", "ParseKML"},
        FailureCase{"empty file", "", "Die KML Datei enthält keine Route", "ParseKML"},
        FailureCase{"coordinates without a number", "<kml><LineString><coordinates>a b</coordinates></LineString></kml>",
                    "Die KML Datei enthält keine Route", "ParseKML"},
        FailureCase{"text search: coordinates not closed", "<LineString><coordinates>9,53,0 9.1,53.1,0 <",
                    "KML Format nicht erkannt\n<coordinates> nicht gefunden", "ParseKML"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(RouteImport, EveryFormatKeepsPositionsInDoublePrecision) {
    for (const auto& [format, text] : {std::pair{"kml", kmlWithLines({"-74.0059,40.7128,0"})},
                                       {"kml", "<kml><LineString><coordinates>-74.0059,40.7128,0</coordinates>"},
                                       {"ovl", "XKoord0=-74.0059\nYKoord0=40.7128\n"},
                                       {"gpx", "<gpx><trk><trkseg><trkpt lat=\"40.7128\" lon=\"-74.0059\"/></trkseg></trk></gpx>"}}) {
        ExchangeFixture f;
        ImportRouteFile(format, text, f.target);
        ASSERT_EQ(f.route->count, 1) << format;
        EXPECT_EQ(f.point(0).lon, -74.0059) << format;
        EXPECT_EQ(f.point(0).lat, 40.7128) << format;
    }
}

TEST(KmlLimit, FiveThousandPointsAreCutOrSpreadAndExactlyFourThousandFit) {
    for (const bool wellFormed : {true, false}) {
        ExchangeFixture f;
        std::string kml = kmlWithLines({coordinateLines(5000)});
        if (!wellFormed) kml += "<broken";
        ParseKML(kml, f.target);
        EXPECT_EQ(f.route->count, 4000) << wellFormed;
        EXPECT_NEAR(f.point(3999).lon, 9.0 + 3999e-4, 1e-5);
        EXPECT_THAT(f.messages(), ElementsAre("KML hat mehr als 4000 Punkte"));
        EXPECT_TRUE(routeCut(f.target));

        ExchangeFixture spread;  // the whole line, evenly: the first and the last point kept
        spread.target.spreadOver = 5000;
        ParseKML(kml, spread.target);
        ASSERT_EQ(spread.route->count, 4000) << wellFormed;
        EXPECT_NEAR(spread.point(1).lon, 9.0 + 1e-4, 1e-9);
        EXPECT_NEAR(spread.point(2000).lon, 9.0 + 2500e-4, 1e-9);
        EXPECT_NEAR(spread.point(3999).lon, 9.0 + 4999e-4, 1e-9);
        EXPECT_THAT(spread.messages(), IsEmpty());
    }
    ExchangeFixture exact;
    ParseKML(kmlWithLines({coordinateLines(4000)}), exact.target);
    EXPECT_EQ(exact.route->count, 4000);
    EXPECT_THAT(exact.messages(), IsEmpty());
}

TEST(KmlImport, AWaypointFileGivesItsPointsAsPois) {
    ExchangeFixture f;
    f.setRoute({{1, 1, 1}});
    const RouteFileContent content = ImportRouteFile(
        "kml", "<kml><Document><Placemark><name>Turm &amp; Tor</name><Point><coordinates>9.5,53.25,12</coordinates>"
               "</Point></Placemark><Placemark><Point><coordinates>-9.75,-53.5</coordinates></Point></Placemark></Document></kml>",
        f.target);
    EXPECT_FALSE(content.route);
    EXPECT_EQ(f.route->count, 1);
    ASSERT_EQ(content.waypoints.size(), 2u);
    EXPECT_EQ(content.waypoints[0].name, "Turm & Tor");
    EXPECT_EQ(content.waypoints[0].lon, 9.5);
    EXPECT_EQ(content.waypoints[0].altitude, 12);
    EXPECT_EQ(content.waypoints[1].lat, -53.5);
    EXPECT_THAT(f.messages(), IsEmpty());
}

TEST(KmlImport, OnALocalDatumGridPointsAreShiftedAndMarked) {
    ExchangeFixture f;
    f.grid.LocalDatumGrid = true;  // Gauss-Krüger on Potsdam
    ParseKML(kmlWithLines({"9.0,50.0,0"}), f.target);
    ASSERT_EQ(f.route->count, 1);
    const GeodeticPoint potsdam = wgs84ToLocal(9.0, 50.0, f.grid);
    EXPECT_EQ(f.point(0).datumCode, '0');
    EXPECT_NEAR(f.point(0).lon, potsdam.longitude, 1e-9);
    EXPECT_GT(std::abs(f.point(0).lon - 9.0), 1e-4);  // the shift is about 100 m
}

struct OvlCase {
    const char* name;
    std::string text;
    std::vector<std::array<double, 2>> points;
    std::vector<std::string> messages;
    int pieceEnd = -1;  // the point whose onward leg is not drawn
};

class OvlRead : public ::testing::TestWithParam<OvlCase> {};

TEST_P(OvlRead, PairsXKoordWithTheNextLinesYKoord) {
    const OvlCase& c = GetParam();
    ExchangeFixture f;
    parseOVL(c.text, f.target);
    ASSERT_EQ(f.route->count, static_cast<int>(c.points.size()));
    for (std::size_t i = 0; i < c.points.size(); ++i) {
        EXPECT_EQ(f.point(static_cast<int>(i)).lineKind,
                  static_cast<int>(i) == c.pieceEnd ? LineKind::NotDrawn : LineKind::Blue);
        EXPECT_NEAR(f.point(static_cast<int>(i)).lon, c.points[i][0], 1e-5);
        EXPECT_NEAR(f.point(static_cast<int>(i)).lat, c.points[i][1], 1e-5);
    }
    EXPECT_EQ(f.messages(), c.messages);
}

std::string manyOvlPoints(int n) {
    std::string text = "[Symbol 1]\n";
    for (int i = 0; i < n; ++i) text += "XKoord" + std::to_string(i) + "=9.5\nYKoord" + std::to_string(i) + "=53.5\n";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, OvlRead,
    ::testing::Values(
        OvlCase{"handheld file", "[Symbol 1]\nTyp=3\nPunkte=2\nXKoord0=9.500000\nYKoord0=53.250000\nXKoord1=-9.75\nYKoord1=-53.5\n\n[Overlay]\n",
                {{9.5, 53.25}, {-9.75, -53.5}}, {}},
        OvlCase{"CRLF line ends", "XKoord0=9.5\r\nYKoord0=53.25\r\nXKoord1=9.6\r\nYKoord1=53.3\r\n",
                {{9.5, 53.25}, {9.6, 53.3}}, {}},
        OvlCase{"XKoord without YKoord stores nothing, the next pair counts",
                "XKoord1=9.5\nText=1\nXKoord2=9.7\nYKoord2=53.7\nYKoord3=1\n", {{9.7, 53.7}}, {}},
        OvlCase{"no points", "[Overlay]\nSymbols=0\n", {}, {"Die Overlay Datei enthält keine Route"}},
        OvlCase{"binary overlay", "DOMGVCRD Ovlfile V2.0:\0\0\x01\x02XKoord0=9\nYKoord0=53\n"s, {},
                {"Binäre Overlay Datei: nur Text-Overlays mit XKoord/YKoord können gelesen werden"}},
        OvlCase{"4000 points at most", manyOvlPoints(4001), std::vector<std::array<double, 2>>(4000, {9.5, 53.5}),
                {"Overlay hat mehr als 4000 Punkte"}},
        OvlCase{"exactly 4000 points fit", manyOvlPoints(4000), std::vector<std::array<double, 2>>(4000, {9.5, 53.5}), {}},
        OvlCase{"only lines, their points by number; rectangles and labels left out",
                "[Symbol 1]\nTyp=5\nXKoord0=1\nYKoord0=1\nXKoord1=2\nYKoord1=2\n[Symbol 2]\nXKoord1=9.6\nYKoord1=53.6\n"
                "XKoord0=9.5\nYKoord0=53.5\nTyp=4\n[Symbol 3]\nTyp=2\nXKoord0=5\nYKoord0=5\n[Symbol 4]\nTyp=3\n"
                "XKoord0=9.7\nYKoord0=53.7\n",
                {{9.5, 53.5}, {9.6, 53.6}, {9.7, 53.7}}, {}, 1}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct GpxCase {
    const char* name;
    std::string text;
    std::vector<std::array<double, 3>> points;
    std::vector<std::string> waypoints;  // names
    std::vector<std::string> messages;
    int pieceEnd = -1;  // the point whose onward leg is not drawn
};

class GpxRead : public ::testing::TestWithParam<GpxCase> {};

TEST_P(GpxRead, TakesTracksOrRoutesAndWaypoints) {
    const GpxCase& c = GetParam();
    ExchangeFixture f;
    f.setRoute({{1, 1, 1}});
    const GpxContent content = ParseGPX(c.text, f.target);
    if (c.points.empty()) {
        EXPECT_EQ(f.route->count, 1);  // a file without route points leaves the route alone
    } else {
        ASSERT_EQ(f.route->count, static_cast<int>(c.points.size()));
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            EXPECT_DOUBLE_EQ(f.point(static_cast<int>(i)).lon, c.points[i][0]);
            EXPECT_DOUBLE_EQ(f.point(static_cast<int>(i)).lat, c.points[i][1]);
            EXPECT_EQ(f.point(static_cast<int>(i)).altitude, c.points[i][2]);
            EXPECT_EQ(f.point(static_cast<int>(i)).lineKind,
                      static_cast<int>(i) == c.pieceEnd ? LineKind::NotDrawn : LineKind::Blue);
        }
    }
    std::vector<std::string> names;
    for (const auto& w : content.waypoints) names.push_back(w.name);
    EXPECT_EQ(names, c.waypoints);
    EXPECT_EQ(f.messages(), c.messages);
}

const char* kGpx11 = "<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"t\" xmlns=\"http://www.topografix.com/GPX/1/1\">";

INSTANTIATE_TEST_SUITE_P(
    Files, GpxRead,
    ::testing::Values(
        GpxCase{"GPX 1.1 track in two segments with ele",
                std::string(kGpx11) + "<trk><trkseg><trkpt lat=\"53.123456789\" lon=\"-9.987654321\"><ele>12.7</ele></trkpt>"
                "</trkseg><trkseg><trkpt lat=\"-33.5\" lon=\"151.25\"><ele>-4</ele><time>2020</time></trkpt></trkseg></trk></gpx>",
                {{-9.987654321, 53.123456789, 12}, {151.25, -33.5, -4}}, {}, {}, 0},
        GpxCase{"GPX 1.0 route and waypoints",
                "<gpx version=\"1.0\" xmlns=\"http://www.topografix.com/GPX/1/0\"><wpt lat=\"53\" lon=\"9\"><name>Kirche &amp; Turm</name></wpt>"
                "<rte><rtept lat=\"53.5\" lon=\"9.5\"/><rtept lat=\"53.6\" lon=\"9.6\"/></rte></gpx>",
                {{9.5, 53.5, 0}, {9.6, 53.6, 0}}, {"Kirche & Turm"}, {}},
        GpxCase{"a track wins over a route",
                std::string(kGpx11) + "<rte><rtept lat=\"1\" lon=\"1\"/></rte><trk><trkseg><trkpt lat=\"2\" lon=\"2\"/></trkseg></trk></gpx>",
                {{2, 2, 0}}, {}, {}},
        GpxCase{"waypoints only", std::string(kGpx11) + "<wpt lat=\"53\" lon=\"9\"><ele>5</ele><name>A</name></wpt></gpx>",
                {}, {"A"}, {}},
        GpxCase{"nothing in it", std::string(kGpx11) + "</gpx>", {}, {}, {"Die GPX Datei enthält keine Route"}},
        GpxCase{"not XML", "<gpx><trk>", {}, {}, {"Die GPX Datei ist kein gültiges XML"}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

}  // namespace
}  // namespace vexa::testing
