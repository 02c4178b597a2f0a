#include "tools/mapgen/vectors.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>

namespace vexa::mapgen {

namespace {

bool samePoint(const LonLat& a, const LonLat& b) {
    return std::fabs(a.lon - b.lon) < 1e-7 && std::fabs(a.lat - b.lat) < 1e-7;
}

}  // namespace

bool readSegments(const std::filesystem::path& file, std::vector<Segment>& segments,
                  std::string& error) {
    std::ifstream in(file);
    if (!in) {
        error = "cannot read " + file.string();
        return false;
    }
    segments.clear();
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '>') {
            Segment s;
            const std::size_t at = line.find("Level ");
            if (at == std::string::npos || std::sscanf(line.c_str() + at, "Level %d", &s.level) != 1) {
                error = file.string() + ":" + std::to_string(number) + ": segment header without level";
                return false;
            }
            segments.push_back(std::move(s));
            continue;
        }
        LonLat p;
        char rest = 0;
        if (segments.empty() ||
            std::sscanf(line.c_str(), "%lf %lf %c", &p.lon, &p.lat, &rest) != 2) {
            error = file.string() + ":" + std::to_string(number) + ": not a point";
            return false;
        }
        segments.back().points.push_back(p);
    }
    return true;
}

bool isClosed(const Segment& s) {
    return s.points.size() > 3 && samePoint(s.points.front(), s.points.back());
}

std::vector<Segment> joinSegments(const std::vector<Segment>& segments) {
    std::vector<Segment> open;
    std::vector<Segment> done;
    for (const Segment& s : segments) {
        if (s.points.size() < 2) continue;
        if (isClosed(s)) done.push_back(s);
        else open.push_back(s);
    }
    // Repeatedly glue a segment onto one whose end meets its start (either direction).
    bool joined = true;
    while (joined) {
        joined = false;
        for (std::size_t i = 0; i < open.size() && !joined; ++i) {
            for (std::size_t j = 0; j < open.size() && !joined; ++j) {
                if (i == j || open[i].level != open[j].level) continue;
                Segment& a = open[i];
                Segment b = open[j];
                if (samePoint(a.points.back(), b.points.back())) {
                    std::reverse(b.points.begin(), b.points.end());
                } else if (samePoint(a.points.front(), b.points.front())) {
                    std::reverse(a.points.begin(), a.points.end());
                } else if (samePoint(a.points.front(), b.points.back())) {
                    std::swap(a, b);
                } else if (!samePoint(a.points.back(), b.points.front())) {
                    continue;
                }
                // Now a's end is b's start.
                a.points.insert(a.points.end(), b.points.begin() + 1, b.points.end());
                open.erase(open.begin() + static_cast<std::ptrdiff_t>(j));
                joined = true;
            }
        }
    }
    for (Segment& s : open) done.push_back(std::move(s));
    return done;
}

}  // namespace vexa::mapgen
