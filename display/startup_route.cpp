#include "display/startup_route.h"

#include <cstdio>
#include <string>

namespace vexa {

std::vector<TrackPoint> parseStartupRoute(std::string_view text) {
    std::vector<TrackPoint> points;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
        TrackPoint p;
        if (std::sscanf(line.c_str(), "%lf,%lf", &p.lon, &p.lat) != 2) continue;
        p.altitude = 50;
        p.datumCode = kDatumWgs84;
        points.push_back(p);
    }
    return points;
}

}  // namespace vexa
