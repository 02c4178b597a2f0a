// Every program reads its command line the same way: --help on standard output with status 0,
// --version as "NAME VERSION", and for a command line it does not take status 2 with what
// was wrong and where help is (in German from the program itself).
#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/tool_run.h"
#include "util/version.h"

namespace vexa::testing {
namespace {

TEST(ToolCommandLines, HelpVersionAndWrongLines) {
    const struct {
        const char* name;
        const char* program;
        const char* helpSays;
        const char* wrong;
        const char* wrongSays;  // the whole output
    } tools[] = {
        {"vexa", VEXA_EXE, "--replay-speed N|max", "--maps", "vexa: --maps braucht einen Wert\nMehr unter 'vexa --help'.\n"},
        {"vexa-convert", VEXA_CONVERT, "usage: vexa-convert [options] IN OUT", "a b c",
         "vexa-convert: give IN and OUT\nTry 'vexa-convert --help'.\n"},
        {"vexa-nmea", VEXA_NMEA, "usage: vexa-nmea FILE...", "log.txt --fast",
         "vexa-nmea: unknown option '--fast'\nTry 'vexa-nmea --help'.\n"},
        {"vexa-geo", VEXA_GEO, "usage: vexa-geo LONGITUDE LATITUDE", "-x 9 52",
         "vexa-geo: unknown option '-x'\nTry 'vexa-geo --help'.\n"},
        {"vexa-gpssim", VEXA_GPSSIM, "--route", "--quiet=yes",
         "vexa-gpssim: option '--quiet' takes no value\nTry 'vexa-gpssim --help'.\n"},
        {"vexa-garminsim", VEXA_GARMINSIM, "--silent-after N", "--nak",
         "vexa-garminsim: option '--nak' needs a value\nTry 'vexa-garminsim --help'.\n"},
        {"vexa-maps", VEXA_MAPS, "worldfiles DIR", "paint DIR", "vexa-maps: unknown command 'paint'\nTry 'vexa-maps --help'.\n"},
        {"vexa-shots", VEXA_SHOTS, "MAPDIR LOG OUTDIR", "maps log", "vexa-shots: give MAPDIR LOG OUTDIR and perhaps WxH\nTry 'vexa-shots --help'.\n"},
    };
    for (const auto& t : tools) {
        const ToolRun help = runTool(t.program, "--help"), version = runTool(t.program, "-V"), wrong = runTool(t.program, t.wrong);
        EXPECT_TRUE(help.status == 0 && help.output.find(t.helpSays) != std::string::npos) << t.name << help.output;
        EXPECT_EQ(std::tuple(version.status, version.output), std::tuple(0, std::string(t.name) + " " + vexaVersion() + "\n"));
        EXPECT_EQ(std::tuple(wrong.status, wrong.output), std::tuple(2, t.wrongSays)) << t.wrong;
    }
}

}  // namespace
}  // namespace vexa::testing
