// vexa-nmea on the receiver logs: fixes only for sentences that gave a position, junk (line
// noise after a '$' included) and stray bytes before a tag named as such; and on a live
// pseudo-terminal, with and without a receiver sending on it.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "tests/support/tool_run.h"
#include "tools/pseudo_terminal.h"

namespace {

// The command's standard output and error, and its exit status.
std::string run(const std::string& command, int* status = nullptr) {
    const vexa::testing::ToolRun r = vexa::testing::runTool(command, "");
    if (status) *status = r.status;
    return r.output;
}

std::string summary(const std::string& file) {
    return run(std::string(VEXA_NMEA_TOOL) + " " + VEXA_RECEIVER_LOGS + "/" + file);
}

TEST(VexaNmea, CountsFixesAndNamesJunk) {
    const std::pair<const char*, std::array<const char*, 3>> cases[] = {  // a log, and lines of its summary
        {"stray_bytes.txt", {"  ($$ before a tag)   1\n", "  (junk before a tag) 2\n", "  fixes               2\n"}},
        {"searching.txt", {"  fixes               0\n", "  GPGSV               6\n", "  GPRMC               3\n"}},
        {"beidou_bd.txt", {"  fixes               4\n", "  BDGSV               6\n", "  lines replayed      15\n"}},
        {"line_noise.txt", {"  (junk)              2\n", "  GPRMC               1\n", "  lines replayed      3\n"}},
        {"beidou_bd_utf16le.txt", {"  fixes               4\n", "  BDGSV               6\n", "  lines replayed      15\n"}},
    };
    for (const auto& [file, lines] : cases) {
        const std::string out = summary(file);
        for (const char* line : lines) EXPECT_NE(out.find(line), std::string::npos) << file << ": " << line << out;
    }
}

TEST(VexaNmea, LivePortSummarisesWhatArrivedAndSaysWhenNothingDid) {
    // A receiver: vexa-gpssim on its pseudo-terminal, driving at five times real time.
    int status = -1;
    const std::string sim = std::string(VEXA_GPSSIM) +
                            " --quiet --rate 5 --route \"9.7410,52.3766,120;9.7400,52.4400,120\"";
    const std::string live = run("sh -c 'd=$(mktemp); " + sim + " > $d & pid=$!; sleep 0.5; " + VEXA_NMEA_TOOL +
                                 " --port $(head -1 $d) --seconds 2; s=$?; kill $pid; rm $d; exit $s'",
                                 &status);
    EXPECT_EQ(status, 0) << live;
    for (const char* line : {"  lines received", "  GPRMC ", "  satellites          12 in view", "  first position      52.3"})
        EXPECT_NE(live.find(line), std::string::npos) << line << "\n" << live;
    EXPECT_EQ(live.find("  fixes               0\n"), std::string::npos) << live;

    // A pseudo-terminal nobody writes to.
    vexa::PseudoTerminal pty;
    ASSERT_EQ(pty.open(""), "");
    const std::string silent = run(std::string(VEXA_NMEA_TOOL) + " --port " + pty.device() + " --seconds 1", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(silent.find("nothing arrived from " + pty.device() + " in 1 s"), std::string::npos) << silent;
}

}  // namespace
