// vexa-convert as a user runs it: formats chosen by the extension, NMEA logs, volumes and a
// Garmin receiver as ends, the options, and the exit status of each kind of failure. What the
// files hold belongs to the exchange and routes tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <tuple>

#include "platform/testing/device_simulator.h"
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

TEST(VexaConvert, EndsChosenByTheirNameConvertWithStatusZero) {
    TempDir dir;
    writeFile(dir / "in.kml", "<kml><LineString><coordinates>9.5,53.25,3 9.75,53.5,4</coordinates></LineString></kml>");
    writeFile(dir / "p.csv", "Turm;2;9.5;53.25;0\nKirche;2;-9.75;-53.5;0\nBad;2;x;y;0\n");
    // The command line, and the one line it tells ("": none; the unreadable line 3, -q not).
    const std::pair<const char*, const char*> runs[] = {
        {"in.kml a.gpx", ""}, {"a.gpx b.ovl --name 'Elbe Tour'", ""}, {"b.ovl c.kml --name 'Elbe Tour'", ""},
        {"p.csv p.gpx", "p.csv:3: coordinates unreadable"}, {"-q p.csv p.gpx", ""}, {"p.gpx q.csv", ""},
        {"in.kml routes.cdb:Elbe", ""}, {"in.kml routes.cdb:Elbe", "routes.cdb: replaced the route \"Elbe\""},
        {"routes.cdb:Elbe back.gpx", ""}, {"p.csv my.pois.cdb", "p.csv:3: coordinates unreadable"}, {"my.pois.cdb r.csv", ""}};
    for (const auto& [arguments, tells] : runs) {
        const ToolRun run = runTool("cd " + q(dir.path()) + " && " VEXA_CONVERT, arguments);
        EXPECT_EQ(std::tuple(run.status, run.output.find(tells) != std::string::npos, count(run.output, "\n")),
                  std::tuple(0, true, *tells ? 1 : 0))
            << arguments << "\n" << run.output;
    }
    const std::string listed = convert("--list " + q(dir / "routes.cdb")).output;
    EXPECT_TRUE(std::regex_match(listed, std::regex("Elbe\t2 points\t\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d\n0 POIs\n"))) << listed;
    EXPECT_NE(readFile(dir / "a.gpx").find("<trk><name>a</name>"), std::string::npos);  // named after OUT
    EXPECT_NE(readFile(dir / "c.kml").find("<description>Elbe Tour "), std::string::npos);
    EXPECT_EQ(count(readFile(dir / "back.gpx"), "<trkpt "), 2);

    const std::string gpx = (dir / "drive.gpx").string();
    EXPECT_EQ(convert(q(VEXA_SOURCE_DIR "/data/demo/NmeaLog_20260601_1000.txt") + " " + q(gpx)).status, 0);
    EXPECT_GT(count(readFile(gpx), "<trkpt "), 500) << "an NMEA log is a track";
}

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
    const ToolRun none = convert(q(dir / "Elbe.ovl") + " garmin:" + (dir / "no-such-tty").string());
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.output.find("no-such-tty: no such device"), std::string::npos) << none.output;
}

TEST(VexaConvert, EachFailureHasItsStatusAndMessageAndWritesNothing) {
    TempDir dir;
    writeFile(dir / "text.cdb", "Turm;2;9.5;53.25;0\n");
    writeFile(dir / "in.kml", "<kml><LineString><coordinates>9.5,53.25,3</coordinates></LineString></kml>");
    convert(q(dir / "in.kml") + " " + q(dir / "routes.cdb") + ":Elbe");
    const struct {
        std::string in;  // file content, written as IN unless empty
        const char *inName, *outName;
        int status;
        const char* says;
    } cases[] = {
        {"", "none.kml", "o.gpx", 1, "cannot read"},
        {"<kml/>", "a.kml", "o.gpx", 1, "a.kml: no route in the file"},
        {"<gpx><trk>", "a.gpx", "o.kml", 1, "a.gpx: not valid XML"},
        {"<gpx><trk><trkseg><trkpt/></trkseg></trk></gpx>", "b.gpx", "o.kml", 1, "b.gpx: no route in the file"},
        {std::string("XKoord0=9\0", 10), "b.ovl", "o.kml", 1, "b.ovl: a binary overlay"},
        {"<LineString><coordinates>9,53", "b.kml", "o.gpx", 1, "b.kml: KML format not recognised"},
        {"XKoord0=9\nYKoord0=53\n", "a.ovl", "o.csv", 1, "no POIs"},
        {"A;2;9;53;0\n", "a.csv", "o.ovl", 1, "no route"},
        {"x", "a.doc", "o.kml", 2, "unknown source format"},
        {"A;2;9;53;0\n", "a.csv", "no/o.csv", 1, "cannot write the file: No such file or directory"},
        {"x", "a.kml", "o.doc", 2, "unknown target format"},
        {"", "routes.cdb:Weser", "o.gpx", 1, "no route \"Weser\" in the volume"},
        {"", "missing.cdb", "o.csv", 1, "missing.cdb"},
        {"", "text.cdb", "o.csv", 1, "text.cdb: not a database volume (a text file)"},
        {"", "routes.cdb", "o.csv", 1, "routes.cdb: no POIs in the volume"},
        {"", "in.kml", "text.cdb:Elbe", 1, "text.cdb: the route \"Elbe\" was not saved: not a database volume (a text file)"},
        {"A;2;9;53;0\n", "a.csv", "no/p.cdb", 1, "no/p.cdb: cannot be created, its folder does not exist"},
    };
    for (const auto& c : cases) {
        if (!c.in.empty()) writeFile(dir / c.inName, c.in);
        const ToolRun run = convert(q(dir / c.inName) + " " + q(dir / c.outName));
        EXPECT_EQ(run.status, c.status) << c.inName << "\n" << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
        EXPECT_EQ(count(run.output, "vexa-convert:"), 1) << "one message, in the tool's words: " << run.output;
        EXPECT_FALSE(std::filesystem::exists(dir / c.outName)) << c.outName;
    }
}

// More points than a route holds: refused unless the user says how to make them fit.
TEST(VexaConvert, LongRoutesNeedThinOrTruncate) {
    TempDir dir;
    for (const int n : {4000, 4001}) {
        std::string ovl;
        for (int i = 0; i < n; ++i) ovl += "XKoord" + std::to_string(i) + "=" + std::to_string(9.0 + i * 1e-4) + "\nYKoord0=53\n";
        writeFile(dir / (std::to_string(n) + ".ovl"), ovl);
    }
    convert(q(dir / "4000.ovl") + " " + q(dir / "long.cdb") + ":L");
    const struct {
        const char *options, *in;
        int status;
        const char* says;  // in the output; "": nothing is said
        const char* last;  // the last point written
    } cases[] = {
        {"", "4001.ovl", 1, "the route has 4001 points, a route at most 4000; give --thin or --truncate", ""},
        {"--truncate", "4001.ovl", 0, "the route has 4001 points, kept the first 4000\n", "lon=\"9.39990000\""},
        {"--thin", "4001.ovl", 0, "the route has 4001 points, kept 4000 spread evenly over it\n", "lon=\"9.40000000\""},
        {"-q --thin", "4001.ovl", 0, "", "lon=\"9.40000000\""},
        {"", "4000.ovl", 0, "", "lon=\"9.39990000\""},
        {"", "long.cdb:L", 0, "long.cdb: the route \"L\" has more than 3999 points, read the first 3999\n", "lon=\"9.39980030\""},
        {"--thin --truncate", "4001.ovl", 2, "not both", ""},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir / "out.gpx");
        const ToolRun run = convert(std::string(c.options) + " " + q(dir / c.in) + " " + q(dir / "out.gpx"));
        EXPECT_EQ(run.status, c.status) << c.options << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
        if (!*c.says) { EXPECT_EQ(run.output, "") << c.options; }
        if (c.status == 0) { EXPECT_NE(readFile(dir / "out.gpx").find(std::string(c.last) + "><ele>0</ele></trkpt>\n</trkseg>"), std::string::npos) << c.options; }
    }
}

}  // namespace
}  // namespace vexa::testing
