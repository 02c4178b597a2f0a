// vexa-nmea on the receiver logs: fixes only for sentences that gave a position, junk and
// stray bytes before a tag named as such.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string summary(const std::string& file) {
    const std::string command = std::string(VEXA_NMEA_TOOL) + " " + VEXA_RECEIVER_LOGS + "/" + file;
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
        pclose(pipe);
    }
    return out;
}

TEST(VexaNmea, CountsFixesAndNamesJunk) {
    const struct {
        const char* file;
        const char* lines[3];
    } cases[] = {
        {"stray_bytes.txt", {"  ($$ before a tag)   1\n", "  (junk before a tag) 2\n", "  fixes               2\n"}},
        {"searching.txt", {"  fixes               0\n", "  GPGSV               6\n", "  GPRMC               3\n"}},
        {"beidou_bd.txt", {"  fixes               4\n", "  BDGSV               6\n", "  lines replayed      15\n"}},
    };
    for (const auto& c : cases) {
        const std::string out = summary(c.file);
        for (const char* line : c.lines) EXPECT_NE(out.find(line), std::string::npos) << c.file << ": " << line << out;
    }
}

}  // namespace
