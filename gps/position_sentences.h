// The position sentences RMC and GGA of any talker read into records: no state, no side
// effects. Text fields are views into the sentence; the applying steps (position_parsers.h)
// put a record into the GPS state.
#pragma once

#include <string_view>

namespace vexa {

// The fields both sentences share. Coordinates are WGS84 decimal degrees, negative south and
// west.
struct PositionSentence {
    std::string_view tag;   // "$GNRMC"
    std::string_view time;  // hhmmss[.sss] as received
    int secondOfDay = 0;    // from the first six characters of the time
    double latitude = 0.0;
    double longitude = 0.0;
    std::string_view northSouth;
    std::string_view eastWest;
    // The receiver reports a fix (RMC: not void and with coordinates; GGA: fix quality not 0).
    bool fix = false;
    // The time and both coordinate fields are long enough for a fix (ddmm.mm with 2 to 4+
    // decimals of minutes).
    bool plausible = false;
};

struct RmcSentence : PositionSentence {
    float speed = 0.0f;   // km/h
    float course = 0.0f;  // degrees
    std::string_view date;  // ddmmyy as received
};

struct GgaSentence : PositionSentence {
    float secondWithFraction = 0.0f;  // seconds of the day with the fraction of the time field
    std::string_view satellitesUsed;  // as received
    bool noSatellites = false;        // the satellites field is "00"
    float altitude = 0.0f;            // metres above the geoid, as received
};

RmcSentence readRmc(std::string_view sentence);
GgaSentence readGga(std::string_view sentence);

}  // namespace vexa
