// The demo map sets: one layer per resolution, each a block of equal square tiles whose edges
// lie on whole grid metres (UTM zone 32, WGS84). Neighbouring tiles share their edges exactly.
#pragma once

#include <string>
#include <vector>

namespace vexa::mapgen {

struct MapLayer {
    int resolution = 0;   // pixels per 1000 m
    int left = 0;         // easting of the block's left pixel edge, metres
    int top = 0;          // northing of the block's top pixel edge, metres
    int columns = 0;
    int rows = 0;
    int tilePx = 0;       // width and height of every tile in pixels
    std::string format;   // "jpg" or "png"
    int quality = -1;     // JPEG quality, -1 for the writer's default
    int minPopulation = 0;  // smaller towns are left out
    bool districts = false; // city districts are drawn
    int gridKm = 1;       // a grid line every gridKm kilometres
    int labelEveryKm = 5; // grid labels repeat along each line at this spacing

    int tileMetres() const { return tilePx * 1000 / resolution; }
    int widthPx() const { return columns * tilePx; }
    int heightPx() const { return rows * tilePx; }
};

// The demo drive stays within longitude 9.55-9.95, latitude 52.28-52.52 around Hannover:
// 100 px/km covers longitude 9.45-10.05, latitude 52.22-52.58 in 10 km tiles; 25 px/km 120 km
// and 10 px/km 400 km around it, the latter reaching the North Sea, the Baltic at Lübeck and
// the Dutch border.
inline std::vector<MapLayer> demoLayers() {
    return {
        {10, 300000, 6000000, 4, 4, 1000, "png", -1, 20000, false, 10, 50},
        {25, 490000, 5860000, 3, 3, 1000, "png", -1, 0, false, 5, 20},
        {100, 530000, 5830000, 5, 5, 1000, "jpg", 85, 0, true, 1, 5},
    };
}

}  // namespace vexa::mapgen
