// NMEA 0183 text for a simulated fix: RMC, GGA, GSA and three GSV sentences once a second.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gpssim/drive.h"

namespace vexa::gpssim {

struct UtcTime {
    int year = 2026, month = 6, day = 1, hour = 8, minute = 0, second = 0;
};

// The time `seconds` after `start`, across midnight and month ends.
UtcTime addSeconds(const UtcTime& start, long long seconds);

// "$" + body + "*" + two upper-case hex digits of the XOR of the body's bytes.
std::string withChecksum(std::string_view body);

// The sentences of one second, each ended by CR LF.
std::vector<std::string> sentencesForFix(const Fix& fix, const UtcTime& start);

}  // namespace vexa::gpssim
