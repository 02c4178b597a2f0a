// Every command-line tool speaks the same way: --help on standard output with status 0,
// --version as "NAME VERSION", and status 2 for a command line it does not take.
#include <gtest/gtest.h>

#include "tests/support/tool_run.h"

namespace vexa::testing {
namespace {

TEST(ToolCommandLines, HelpVersionAndWrongLines) {
    const struct {
        const char* name;
        const char* program;
        const char* helpSays;
        const char* wrong;
    } tools[] = {
        {"vexa-convert", VEXA_CONVERT, "usage: vexa-convert [--thin | --truncate] IN OUT", "a b c"},
        {"vexa-nmea", VEXA_NMEA, "usage: vexa-nmea FILE...", "--fast log.txt"},
        {"vexa-geo", VEXA_GEO, "usage: vexa-geo LONGITUDE LATITUDE", "east north"},
        {"vexa-gpssim", VEXA_GPSSIM, "--route", "--no-such-option"},
        {"vexa-garminsim", VEXA_GARMINSIM, "--help", "--no-such-option"},
        {"vexa-maps", VEXA_MAPS, "worldfiles DIR", "paint DIR"},
    };
    for (const auto& t : tools) {
        const ToolRun help = runTool(t.program, "--help");
        EXPECT_EQ(help.status, 0) << t.name;
        EXPECT_NE(help.output.find(t.helpSays), std::string::npos) << t.name << help.output;
        const ToolRun version = runTool(t.program, "--version");
        EXPECT_EQ(version.status, 0) << t.name;
        EXPECT_EQ(version.output, std::string(t.name) + " " VEXA_VERSION "\n");
        EXPECT_EQ(runTool(t.program, t.wrong).status, 2) << t.name << " " << t.wrong;
    }
}

}  // namespace
}  // namespace vexa::testing
