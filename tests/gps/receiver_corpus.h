// The hand-written logs of tests/data/receivers: one per receiver kind, with the fixes and
// satellites each must give, live and replayed alike.
#pragma once

#include <string>

namespace vexa::testing {

struct ReceiverLog {
    const char* file;
    int fixes;          // positions placed on the grid
    double latitude, longitude;  // of the last fix
    int inView;         // satellites in view, all systems
    int used;           // satellites used for the fix, all systems
    bool fixAtEnd;
};

inline constexpr ReceiverLog kReceiverLogs[] = {
    // GN position, GSA per system with the NMEA 4.11 system id, GSV per talker with signal id.
    {"ublox_gn_411.txt", 3, 52.376133, 9.741, 15, 11, true},
    // BeiDou talker throughout, three decimals of minutes; GGA before the first RMC places a fix.
    {"beidou_bd.txt", 4, 39.905517, 116.390933, 6, 5, true},
    // GLONASS and Galileo talkers, two decimals, southern and western hemisphere.
    {"glonass_galileo.txt", 4, -33.8525, -70.609167, 5, 5, true},
    // "$$GPRMC", a sentence behind a lost line end, junk before a tag.
    {"stray_bytes.txt", 2, 48.117350, 11.516717, 0, 0, true},
    // No fix: empty fields keep their places, 3-digit SBAS and QZSS numbers.
    {"searching.txt", 0, 0.0, 0.0, 5, 0, false},
    // An older receiver that sends no checksums.
    {"no_checksum.txt", 2, 51.500017, -0.125, 0, 0, true},
};

inline std::string receiverLogPath(const ReceiverLog& log) {
    return std::string(VEXA_RECEIVER_LOGS) + "/" + log.file;
}

}  // namespace vexa::testing
