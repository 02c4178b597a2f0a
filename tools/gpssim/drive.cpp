#include "tools/gpssim/drive.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vexa::gpssim {

namespace {

constexpr double kEarthRadius = 6371000.0;
constexpr double kRad = 3.14159265358979323846 / 180.0;
constexpr double kAcceleration = 1.5;  // m/s²

double metresBetween(double lon1, double lat1, double lon2, double lat2) {
    const double dLat = (lat2 - lat1) * kRad;
    const double dLon = (lon2 - lon1) * kRad;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(lat1 * kRad) * std::cos(lat2 * kRad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthRadius * std::asin(std::min(1.0, std::sqrt(a)));
}

double bearing(double lon1, double lat1, double lon2, double lat2) {
    const double y = std::sin((lon2 - lon1) * kRad) * std::cos(lat2 * kRad);
    const double x = std::cos(lat1 * kRad) * std::sin(lat2 * kRad) -
                     std::sin(lat1 * kRad) * std::cos(lat2 * kRad) * std::cos((lon2 - lon1) * kRad);
    const double deg = std::atan2(y, x) / kRad;
    return deg < 0 ? deg + 360 : deg;
}

// Gentle hills of the North German plain: 50 to 90 m.
double altitudeAt(double travelled) {
    return 65.0 + 15.0 * std::sin(travelled / 2300.0) + 6.0 * std::sin(travelled / 610.0);
}

bool parseNumber(std::string_view text, double& value) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

}  // namespace

std::optional<std::vector<Waypoint>> parseWaypoints(std::string_view text, std::string& error) {
    std::vector<Waypoint> route;
    double speed = 50.0;
    while (!text.empty()) {
        const auto semi = text.find(';');
        std::string_view item = text.substr(0, semi);
        text = semi == std::string_view::npos ? std::string_view{} : text.substr(semi + 1);
        if (item.find_first_not_of(" \t\r\n") == std::string_view::npos) continue;
        double values[3] = {0, 0, speed};
        int count = 0;
        while (count < 3) {
            const auto comma = item.find(',');
            if (!parseNumber(item.substr(0, comma), values[count])) break;
            ++count;
            if (comma == std::string_view::npos) { item = {}; break; }
            item = item.substr(comma + 1);
        }
        if (count < 2 || !item.empty() || std::fabs(values[0]) > 180 || std::fabs(values[1]) >= 85 ||
            values[2] < 0 || values[2] > 400) {
            error = "bad waypoint near \"" + std::string(text.substr(0, 20)) + "\": expected lon,lat[,kmh]";
            return std::nullopt;
        }
        speed = values[2];
        route.push_back({values[0], values[1], speed});
    }
    if (route.size() < 2) {
        error = "a drive needs at least two waypoints";
        return std::nullopt;
    }
    return route;
}

std::vector<Fix> simulateDrive(const std::vector<Waypoint>& route,
                               const std::vector<NoFixStretch>& noFix) {
    std::vector<Fix> fixes;
    if (route.size() < 2) return fixes;
    std::size_t leg = 0;
    double along = 0.0;      // metres along the current leg
    double travelled = 0.0;  // metres since the start
    double speed = 0.0;      // m/s
    for (int second = 0; leg + 1 < route.size() && second < 7 * 86400; ++second) {
        const Waypoint& a = route[leg];
        const Waypoint& b = route[leg + 1];
        const double legLength = metresBetween(a.lon, a.lat, b.lon, b.lat);
        const double course = bearing(a.lon, a.lat, b.lon, b.lat);

        // Target speed: the leg's speed, lower near a sharp turn or the final stop, so that
        // braking at kAcceleration ends at the right speed.
        double target = a.speedKmh / 3.6;
        const double remaining = legLength - along;
        double cornerSpeed = 0.0;
        if (leg + 2 < route.size()) {
            const Waypoint& c = route[leg + 2];
            double turn = std::fabs(bearing(b.lon, b.lat, c.lon, c.lat) - course);
            if (turn > 180) turn = 360 - turn;
            cornerSpeed = std::min(target, std::max(15.0 / 3.6, target * (1.0 - turn / 120.0)));
        }
        target = std::min(target, std::sqrt(cornerSpeed * cornerSpeed + 2 * kAcceleration * std::max(0.0, remaining)));
        speed = speed < target ? std::min(target, speed + kAcceleration)
                               : std::max(target, speed - kAcceleration);
        if (speed < 0.5 && remaining > 1.0) speed = std::min(target, 1.0);

        const double t = legLength > 0 ? std::min(1.0, along / legLength) : 1.0;
        Fix fix;
        fix.second = second;
        fix.lon = a.lon + (b.lon - a.lon) * t;
        fix.lat = a.lat + (b.lat - a.lat) * t;
        fix.speedKmh = speed * 3.6;
        fix.courseDeg = course;
        fix.altitude = altitudeAt(travelled);
        fix.valid = std::none_of(noFix.begin(), noFix.end(), [second](const NoFixStretch& s) {
            return second >= s.from && second < s.to;
        });
        fixes.push_back(fix);

        along += speed;
        travelled += speed;
        while (leg + 1 < route.size()) {
            const double length = metresBetween(route[leg].lon, route[leg].lat,
                                                route[leg + 1].lon, route[leg + 1].lat);
            if (along < length) break;
            along -= length;
            ++leg;
        }
    }
    // Rolling to a halt at the destination, then standing there for a moment.
    if (!fixes.empty()) {
        Fix last = fixes.back();
        last.lon = route.back().lon;
        last.lat = route.back().lat;
        for (int standing = 0; standing < 3;) {
            last.speedKmh = std::max(0.0, last.speedKmh - kAcceleration * 3.6);
            if (last.speedKmh == 0.0) ++standing;
            last.second = fixes.back().second + 1;
            fixes.push_back(last);
        }
    }
    return fixes;
}

}  // namespace vexa::gpssim
