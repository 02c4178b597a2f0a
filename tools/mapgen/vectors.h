// Coastlines, rivers and borders as dumped by `gmt coast -M` (tools/mapgen/dump-vectors.sh):
// segments of longitude/latitude points, each with the level of its "> … Level n" header.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vexa::mapgen {

struct LonLat {
    double lon = 0.0;
    double lat = 0.0;
};

struct Segment {
    int level = 0;
    std::vector<LonLat> points;
};

// Segments of a dump; "#" lines are comments. False with `error` set on a malformed file.
bool readSegments(const std::filesystem::path& file, std::vector<Segment>& segments,
                  std::string& error);

// GMT cuts shorelines at its data bins. Joins the segments of one level whose ends meet into
// longer lines; a line that comes back to its start is a closed ring (lakes, islands).
std::vector<Segment> joinSegments(const std::vector<Segment>& segments);

bool isClosed(const Segment& s);

}  // namespace vexa::mapgen
