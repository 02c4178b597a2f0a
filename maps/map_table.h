// The map catalogue: one row per map image file of the map directory, ordered by resolution
// ascending. The decoded images live render-side (maps/render/map_images.h), in slots kept
// parallel to these rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

struct MapEntry {
    std::string path;                  // map directory followed by the file name (UTF-8)
    std::size_t fileNameStart = 0;     // offset of the file name in path
    std::size_t extensionStart = 0;    // offset of the first character after the last "."
    float left = 0.0f;                 // grid easting of the left pixel edge
    float right = 0.0f;
    float bottom = 0.0f;
    float top = 0.0f;                  // grid northing of the top pixel edge
    int inView = 0;                    // the image overlaps the view
    int containsPosition = 0;          // the image contains the position
    int resolution = 0;                // pixels per 1000 grid units
    float xStretch = 1.0f;             // 1/cos(latitude) on rectangular plate carrée
    int xResolution = 0;               // plate carrée: resolution · xStretch; 0 otherwise
    int widthPx = 0;
    int heightPx = 0;
    int moved = 0;                     // a calibration drag shifted this map

    std::string_view fileName() const { return std::string_view(path).substr(fileNameStart); }
    std::string_view extension() const { return std::string_view(path).substr(extensionStart); }
};

struct MapTable {
    std::vector<MapEntry> rows;        // the used rows
    std::size_t capacity = 0;          // rows allocated by the scan; never exceeded
    std::uint64_t generation = 0;      // changes whenever the table is replaced

    // Zone and strip of the maps as text, for the info displays and the renamed files.
    std::string zoneText;
    std::string stripText;
    // 2πR and πR of the Mercator sphere, set with its radius by the scan.
    double mercatorCircumference = 0.0;
    double mercatorHalfCircumference = 0.0;

    bool empty() const { return rows.empty(); }
    int lastIndex() const { return static_cast<int>(rows.size()) - 1; }
};

}  // namespace vexa
