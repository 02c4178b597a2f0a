// The route and POI readers against data/file_reads.txt: a file's text, then what the reader
// gives. Files that need a generated text or a grid of their own follow below.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "exchange/kml_reader.h"
#include "exchange/ovl_reader.h"
#include "exchange/poi_csv_reader.h"
#include "exchange/route_file_import.h"
#include "exchange_fixture.h"
#include "geo/datum.h"
#include "tests/support/golden_file.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string unescape(std::string_view s) {
    const std::string_view codes = "nrt\\";
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) out += s[i];
        else if (s[++i] != 'x') out += "\n\r\t\\"[codes.find(s[i])];
        else out += static_cast<char>(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16)), i += 2;
    }
    return out;
}

std::string escape(std::string_view s) {
    std::string out;
    for (const char c : s) out += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return out;
}

std::string pois(const std::vector<PoiRecord>& records, const char* kind) {
    std::string out;
    for (const PoiRecord& p : records)
        out += strprintf("; %s %s %c %.9g,%.9g,%g", kind, p.name.c_str(), p.datumCode, p.lon, p.lat, p.altitude);
    return out;
}

// What a reader gives for the text, as one line.
std::string record(std::string_view format, const std::string& text) {
    if (format == "csv") {
        const PoiText read = ParsePoiText(text);
        std::string out = "pois" + pois(read.pois, "poi") + "; unreadable";
        for (const int line : read.unreadableLines) out += " " + std::to_string(line);
        return out;
    }
    ExchangeFixture f;
    f.setRoute({{1, 1, 1}});
    const RouteFileContent content = ImportRouteFile(format, text, f.target);
    std::string out = content.route ? "route" : "no route";
    for (int i = 0; i < f.route->count; ++i) {
        const TrackPoint& p = f.point(i);
        out += strprintf(" %.10g,%.10g,%d%s", p.lon, p.lat, p.altitude, p.lineKind == LineKind::NotDrawn ? "/" : "");
    }
    if (f.route->count > 0) out += strprintf(" datum=%c", f.point(0).datumCode);
    out += pois(content.waypoints, "waypoint");
    for (const auto& m : f.ui.messages()) out += "; " + m.caption + ": " + m.text;
    std::string log = f.diagnostics.text();
    for (std::size_t end; (end = log.find("\r\n")) != std::string::npos; log.erase(0, end + 2))
        out += "; log " + log.substr(0, end);
    return escape(out);
}

TEST(FileReaders, GiveTheRecordsOfTheGoldenFile) {
    EXPECT_GT(compareGoldenFile(VEXA_TEST_DATA "/file_reads.txt",
                                [](const std::string& line) {
                                    const std::size_t blank = line.find(' ');
                                    return record(line.substr(0, blank), unescape(line.substr(blank + 1)));
                                }),
              40);
}

std::string ovlPoints(int n) {
    std::string text = "[Symbol 1]\n";
    for (int i = 0; i < n; ++i) text += strprintf("XKoord%d=%.4f\nYKoord%d=53.5\n", i, 9.0 + i * 1e-4, i);
    return text;
}

std::string gpxPoints(int n) {
    std::string text = "<gpx><trk><trkseg>";
    for (int i = 0; i < n; ++i) text += strprintf("<trkpt lat=\"53.5\" lon=\"%.4f\"/>", 9.0 + i * 1e-4);
    return text + "</trkseg></trk></gpx>";
}

// 4000 points fit; the rest is cut, or a KML line is spread over them evenly when asked.
TEST(RouteLimit, FourThousandPointsFitMoreAreCutOrSpread) {
    const std::string brokenKml = kmlWithLines({coordinateLines(5000)}) + "<broken";
    const struct {
        const char *format, *message;
        std::string text;
    } cases[] = {{"kml", "KML hat mehr als 4000 Punkte", kmlWithLines({coordinateLines(5000)})},
                 {"kml", "KML hat mehr als 4000 Punkte", brokenKml},
                 {"ovl", "Overlay hat mehr als 4000 Punkte", ovlPoints(4001)},
                 {"gpx", "GPX hat mehr als 4000 Punkte", gpxPoints(4001)}};
    for (const auto& c : cases) {
        ExchangeFixture f;
        ImportRouteFile(c.format, c.text, f.target);
        ASSERT_EQ(f.route->count, 4000) << c.text.size();
        EXPECT_NEAR(f.point(3999).lon, 9.0 + 3999e-4, 1e-5);
        EXPECT_EQ(std::tuple(f.messages(), routeCut(f.target), f.target.problem),
                  std::tuple(std::vector<std::string>{c.message}, true, ImportProblem::RouteCut));
    }
    for (const std::string& kml : {cases[0].text, brokenKml}) {
        ExchangeFixture spread;  // the whole line, evenly: the first and the last point kept
        spread.target.spreadOver = 5000;
        ParseKML(kml, spread.target);
        ASSERT_EQ(spread.route->count, 4000);
        for (const auto& [i, at] : {std::pair{1, 1}, {2000, 2500}, {3999, 4999}}) EXPECT_NEAR(spread.point(i).lon, 9.0 + at * 1e-4, 1e-9) << i;
        EXPECT_THAT(spread.messages(), IsEmpty());
    }
    const std::pair<const char*, std::string> exact[] = {{"kml", kmlWithLines({coordinateLines(4000)})},
                                                         {"ovl", ovlPoints(4000)}, {"gpx", gpxPoints(4000)}};
    for (const auto& [format, text] : exact) {
        ExchangeFixture exact;
        ImportRouteFile(format, text, exact.target);
        EXPECT_EQ(exact.route->count, 4000) << format;
        EXPECT_THAT(exact.messages(), IsEmpty()) << format;
    }
}

// A gx:Track is cut like a LineString.
TEST(RouteLimit, ALongTrackIsCutToo) {
    std::string track = "<kml xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><Placemark><gx:Track>";
    for (int i = 0; i < 4100; ++i) track += strprintf("<gx:coord>%.4f 53 %d</gx:coord>", 9.0 + i * 1e-4, i);
    ExchangeFixture f;
    ParseKML(track + "</gx:Track></Placemark></kml>", f.target);
    EXPECT_EQ(std::tuple(f.route->count, f.point(3999).altitude), std::tuple(4000, 3999));
    EXPECT_THAT(f.messages(), ElementsAre("KML hat mehr als 4000 Punkte"));
}

TEST(KmlImport, OnALocalDatumGridPointsAreShiftedAndMarked) {
    ExchangeFixture f;
    f.grid.LocalDatumGrid = true;  // Gauss-Krüger on Potsdam
    ParseKML(kmlWithLines({"9.0,50.0,0"}), f.target);
    ASSERT_EQ(f.route->count, 1);
    EXPECT_EQ(f.point(0).datumCode, '0');
    EXPECT_NEAR(f.point(0).lon, wgs84ToLocal(9.0, 50.0, f.grid).longitude, 1e-9);
}

}  // namespace
}  // namespace vexa::testing
