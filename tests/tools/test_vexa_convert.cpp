// vexa-convert as a user runs it: conversions between the formats, NMEA logs as tracks, and
// the exit status of each kind of failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "exchange/poi_csv_reader.h"
#include "tests/support/device_simulator.h"
#include "tests/support/garmin_record.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tool_run.h"

namespace vexa::testing {
namespace {

ToolRun convert(const std::string& arguments) { return runTool(VEXA_CONVERT, arguments); }

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
    return n;
}

// The formats themselves belong to the exchange tests; here each is chosen by its extension.
TEST(VexaConvert, RoutesAndPoisGoThroughEveryFormatChosenByTheExtension) {
    TempDir dir;
    writeFile(dir / "in.kml", "<kml><LineString><coordinates>-74.0059,40.7128,10 -73.9,40.8,-2</coordinates></LineString></kml>");
    writeFile(dir / "p.csv", "M\xFChle;2;9.50000;53.25000;12\nKirche;2;9.75000;53.5;0\nTurm;2;x;y;0\n");
    for (const char* step : {"in.kml a.gpx", "a.gpx b.ovl", "p.csv p.gpx", "p.gpx q.csv"}) {
        const std::string in(step, std::strchr(step, ' ')), out(std::strchr(step, ' ') + 1);
        EXPECT_EQ(convert(q(dir / in) + " " + q(dir / out)).status, 0) << step;
    }
    EXPECT_EQ(convert(q(dir / "b.ovl") + " " + q(dir / "c.kml") + " --name 'Elbe Tour'").status, 0);
    EXPECT_NE(readFile(dir / "a.gpx").find("<trk><name>a</name>"), std::string::npos);  // named after OUT
    const std::string kml = readFile(dir / "c.kml");
    EXPECT_NE(kml.find("<description>Elbe Tour "), std::string::npos);
    EXPECT_NE(kml.find("-73.90000"), std::string::npos);
    EXPECT_EQ(convert("-q " + q(dir / "p.csv") + " " + q(dir / "p.gpx")).output, "");  // the skipped line not told
    const auto pois = ParsePoiText(readFile(dir / "q.csv")).pois;
    ASSERT_EQ(pois.size(), 2u);
    EXPECT_EQ(pois[0].name, "M\xC3\xBChle");
}

TEST(VexaConvert, NmeaLogBecomesAValidGpxTrack) {
    TempDir dir;
    const std::string gpx = (dir / "drive.gpx").string();
    const ToolRun run = convert(q(VEXA_SOURCE_DIR "/data/demo/NmeaLog_20260601_1000.txt") + " " + q(gpx));
    EXPECT_EQ(run.status, 0) << run.output;
    const int points = count(readFile(gpx), "<trkpt ");
    EXPECT_GT(points, 500);
    EXPECT_LE(points, 4000);
    const std::string check = "xmllint --noout --schema '" VEXA_SOURCE_DIR "/tests/data/gpx11.xsd.gz' " + q(gpx) + " 2>/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0);
}

// The upload itself is tested with the exchange layer; here the command line and its status.
TEST(VexaConvert, SendsTheRouteToAGarminReceiver) {
    TempDir dir;
    writeFile(dir / "Elbe.ovl", "XKoord0=9.5\nYKoord0=53.25\nXKoord1=-9.75\nYKoord1=-53.5\n");
    {
        DeviceSimulator garmin(VEXA_GARMINSIM, {"--output", (dir / "track.txt").string()});
        const ToolRun run = convert(q(dir / "Elbe.ovl") + " garmin:" + garmin.device() + " --name HELD -v");
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_NE(run.output.find("Send 001: breite=-53.500000 laenge=-9.750000\n"), std::string::npos) << run.output;
        // On a terminal a progress bar instead.
        const ToolRun bar = runTool("script", "-qec \"" VEXA_CONVERT " " + q(dir / "Elbe.ovl") + " garmin:" +
                                                  garmin.device() + "\" /dev/null < /dev/null");
        EXPECT_NE(bar.output.find("] 2/2 points"), std::string::npos) << bar.output;
    }
    const auto record = garminRecord(dir / "track.txt");
    EXPECT_NE(std::find(record.begin(), record.end(), "header \"HELD\""), record.end());
    // Without a receiver on the line the conversion fails.
    const ToolRun none = convert(q(dir / "Elbe.ovl") + " garmin:" + (dir / "no-such-tty").string());
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.output.find("no-such-tty: no such device"), std::string::npos) << none.output;
}

TEST(VexaConvert, RoutesAndPoisGoIntoDatabaseVolumesAndBack) {
    TempDir dir;
    writeFile(dir / "in.kml", "<kml><LineString><coordinates>9.5,53.25,3 9.75,53.5,4</coordinates></LineString></kml>");
    EXPECT_EQ(convert(q(dir / "in.kml") + " " + q(dir / "routes.cdb") + ":Elbe").status, 0);
    EXPECT_EQ(convert(q(dir / "in.kml") + " " + q(dir / "routes.cdb") + ":Elbe").status, 0);  // overwritten
    EXPECT_EQ(convert(q(dir / "routes.cdb") + ":Elbe " + q(dir / "back.gpx")).status, 0);
    const std::string gpx = readFile(dir / "back.gpx");
    EXPECT_EQ(count(gpx, "<trkpt "), 2);
    EXPECT_NE(gpx.find("lat=\"53.50000"), std::string::npos);
    const ToolRun weser = convert(q(dir / "routes.cdb") + ":Weser " + q(dir / "x.gpx"));
    EXPECT_EQ(weser.status, 1);
    EXPECT_NE(weser.output.find("no route \"Weser\" in the volume"), std::string::npos) << weser.output;

    writeFile(dir / "p.csv", "Turm;2;9.50000;53.25000;0\nKirche;2;-9.75000;-53.50000;0\n");
    EXPECT_EQ(convert(q(dir / "p.csv") + " " + q(dir / "pois.cdb")).status, 0);
    EXPECT_EQ(convert(q(dir / "pois.cdb") + " " + q(dir / "q.csv")).status, 0);
    const auto pois = ParsePoiText(readFile(dir / "q.csv")).pois;
    ASSERT_EQ(pois.size(), 2u);
    EXPECT_EQ(pois[0].name, "Kirche");  // the volume keeps its POIs sorted by name
    EXPECT_NEAR(pois[0].lat, -53.5, 1e-5);
    EXPECT_EQ(convert(q(dir / "missing.cdb") + " " + q(dir / "r.csv")).status, 1);
    writeFile(dir / "text.cdb", "Turm;2;9.5;53.25;0\n");
    const ToolRun refused = convert(q(dir / "text.cdb") + " " + q(dir / "r.csv"));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.output.find("no POIs"), std::string::npos) << refused.output;  // the refusal alone
}

struct Failure {
    const char* name;
    std::string in;       // file content, written as IN
    const char* inName;
    const char* outName;
    int status;
    const char* says;
};

class VexaConvertFails : public ::testing::TestWithParam<Failure> {};

TEST_P(VexaConvertFails, WithTheRightStatusAndMessage) {
    const Failure& c = GetParam();
    TempDir dir;
    if (!c.in.empty()) writeFile(dir / c.inName, c.in);
    const ToolRun run = convert(q(dir / c.inName) + " " + q(dir / c.outName));
    EXPECT_EQ(run.status, c.status) << run.output;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(dir / c.outName));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VexaConvertFails,
    ::testing::Values(Failure{"missing file", "", "none.kml", "o.gpx", 1, "cannot read"},
                      Failure{"no route", "<kml/>", "a.kml", "o.gpx", 1, "Die KML Datei enthält keine Route"},
                      Failure{"route into csv", "XKoord0=9\nYKoord0=53\n", "a.ovl", "o.csv", 1, "no POIs"},
                      Failure{"pois into ovl", "A;2;9;53;0\n", "a.csv", "o.ovl", 1, "no route"},
                      Failure{"unknown source", "x", "a.doc", "o.kml", 2, "unknown source format"},
                      Failure{"folder to write into is missing", "A;2;9;53;0\n", "a.csv", "no/o.csv", 1,
                              "cannot write the file: No such file or directory"},
                      Failure{"unknown target", "x", "a.kml", "o.doc", 2, "unknown target format"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// More points than a route holds: refused unless the user says how to make them fit.
TEST(VexaConvert, LongRoutesNeedThinOrTruncate) {
    TempDir dir;
    const auto ovl = [](int n) {
        std::string text;
        for (int i = 0; i < n; ++i) text += "XKoord" + std::to_string(i) + "=" + std::to_string(9.0 + i * 1e-4) + "\nYKoord0=53\n";
        return text;
    };
    writeFile(dir / "long.ovl", ovl(4001));
    writeFile(dir / "full.ovl", ovl(4000));
    struct Case {
        const char* options;
        const char* in;
        int status;
        const char* says;  // in the output
        const char* last;  // the last point written
    };
    for (const Case& c : {Case{"", "long.ovl", 1, "the route has 4001 points, a route at most 4000; give --thin or --truncate", ""},
                          Case{"--truncate", "long.ovl", 0, "", "lon=\"9.39990000\""},
                          Case{"--thin", "long.ovl", 0, "", "lon=\"9.40000000\""},
                          Case{"", "full.ovl", 0, "", "lon=\"9.39990000\""}}) {
        const ToolRun run = convert(std::string(c.options) + " " + q(dir / c.in) + " " + q(dir / "out.gpx"));
        EXPECT_EQ(run.status, c.status) << c.options << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
        if (c.status != 0) continue;
        if (c.in == std::string("full.ovl")) {
            EXPECT_EQ(run.output, "");  // exactly 4000 fit without a word
        }
        const std::string gpx = readFile(dir / "out.gpx");
        EXPECT_EQ(count(gpx, "<trkpt "), 4000) << c.options;
        EXPECT_NE(gpx.find(std::string(c.last) + "><ele>0</ele></trkpt>\n</trkseg>"), std::string::npos) << c.options;
    }
    EXPECT_EQ(convert("--thin --truncate " + q(dir / "long.ovl") + " " + q(dir / "o.gpx")).status, 2);
    EXPECT_EQ(convert("--fast " + q(dir / "long.ovl") + " " + q(dir / "o.gpx")).status, 2);
}

}  // namespace
}  // namespace vexa::testing
