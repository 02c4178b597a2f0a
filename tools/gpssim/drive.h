// A drive along waypoints, one fix per second: where the simulated receiver is, how fast it
// goes, where it heads, how high it is and whether it has a fix.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::gpssim {

struct Waypoint {
    double lon = 0.0;
    double lat = 0.0;
    double speedKmh = 50.0;  // speed on the leg that starts here
};

// A stretch of the drive without fix, e.g. a tunnel: seconds from the start.
struct NoFixStretch {
    int from = 0;
    int to = 0;
};

struct Fix {
    int second = 0;          // seconds since the start of the drive
    double lon = 0.0;
    double lat = 0.0;
    double speedKmh = 0.0;
    double courseDeg = 0.0;
    double altitude = 0.0;   // metres above sea level
    bool valid = true;
};

// "lon,lat[,kmh];lon,lat[,kmh];…" — the speed applies from that waypoint on; without one the
// previous leg's speed (or 50 km/h) continues. Nullopt with `error` set on bad input.
std::optional<std::vector<Waypoint>> parseWaypoints(std::string_view text, std::string& error);

// Second by second along the waypoints, accelerating and braking at most 1.5 m/s², slowing for
// sharp turns, until the last waypoint is reached.
std::vector<Fix> simulateDrive(const std::vector<Waypoint>& route,
                               const std::vector<NoFixStretch>& noFix);

}  // namespace vexa::gpssim
