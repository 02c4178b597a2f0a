#include "gps/position_sentences.h"

#include "gps/nmea_fields.h"

namespace vexa {

namespace {

constexpr float kKnotsToKmh = 1.852f;

int twoDigitsAt(std::string_view text, std::size_t at) {
    return at < text.size() ? parseInt(text.substr(at, 2)) : 0;
}

int secondOfDay(std::string_view time) {
    return twoDigitsAt(time, 0) * 3600 + twoDigitsAt(time, 2) * 60 + twoDigitsAt(time, 4);
}

// The tag, the time (field 1) and the coordinates with their hemispheres from field `at` on.
void readPosition(const NmeaFields& f, int at, PositionSentence& s) {
    constexpr std::size_t kShortestCoordinate = 7;  // ddmm.mm
    s.tag = f[0];
    s.time = f[1];
    s.secondOfDay = secondOfDay(s.time);
    const std::string_view lat = f[at], lon = f[at + 2];
    s.northSouth = f[at + 1];
    s.eastWest = f[at + 3];
    s.latitude = nmeaToDegrees(lat);
    s.longitude = nmeaToDegrees(lon);
    if (s.northSouth == "S") s.latitude = -s.latitude;
    if (s.eastWest == "W") s.longitude = -s.longitude;
    s.plausible = s.time.size() >= 6 && lat.size() >= kShortestCoordinate &&
                  lon.size() >= kShortestCoordinate;
}

}  // namespace

[[gnu::hot]] RmcSentence readRmc(std::string_view sentence) {
    NmeaFields f;
    splitFields(sentence, f);
    RmcSentence s;
    readPosition(f, 3, s);
    // Fields: tag, time, status, latitude, N/S, longitude, E/W, speed, course, date.
    s.fix = f[2] != "V" && !f[3].empty() && !f[5].empty();
    s.speed = parseFloat(f[7]) * kKnotsToKmh;
    s.course = parseFloat(f[8]);
    s.date = f[9];
    return s;
}

[[gnu::hot]] GgaSentence readGga(std::string_view sentence) {
    NmeaFields f;
    splitFields(sentence, f);
    GgaSentence s;
    // Fields: tag, time, latitude, N/S, longitude, E/W, quality, satellites, HDOP, altitude.
    readPosition(f, 2, s);
    s.secondWithFraction = static_cast<float>(secondOfDay(s.time.substr(0, 4))) +
                           (s.time.size() > 4 ? parseFloat(s.time.substr(4)) : 0.0f);
    const std::string_view quality = f[6];
    s.fix = !quality.empty() && quality[0] != '0';
    s.satellitesUsed = f[7];
    s.noSatellites = f[7] == "00";
    s.altitude = parseFloat(f[9]);
    return s;
}

}  // namespace vexa
