// Map file names: Karte<text>_<zone>_<left>_<top>_<resolution>_<width>_<height>.<extension>
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// What a map's file name says: the zone field as written, the left and top edges in grid units
// (metres; 1/10000 degree on plate carrée; Mercator x and y), the resolution in pixels per 1000
// grid units and the image size in pixels.
struct MapFileName {
    std::string zone;
    int left = 0;
    int top = 0;
    int resolution = 0;
    int width = 0;
    int height = 0;

    bool operator==(const MapFileName&) const = default;
};

// The five numbers of a name; nullopt when one is missing or not a whole number.
std::optional<MapFileName> parseMapFileName(std::string_view name);

// "Karte_<zone>_<left>_<top>_<resolution>_<width>_<height>.<extension>"
std::string formatMapFileName(const MapFileName& name, std::string_view extension);

// Case-insensitive wildcard match as the directory search does it: "*" matches any run of
// characters ("_" and "." included), "?" any one character.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// The seven fields of a name split at "_", the last one ending at the first "." after it.
// Missing fields are empty.
std::array<std::string_view, 7> splitMapFileName(std::string_view name);

// A whole field as a decimal integer (optional sign); nullopt for empty or other text.
std::optional<int> parseMapField(std::string_view field);

// The text after the last "."; empty without one.
std::string_view fileExtension(std::string_view name);

std::string asciiLower(std::string_view text);

// The four image types a map may be: "png", "jpg", "gif", "bmp".
bool isMapImageExtension(std::string_view lowerExtension);

}  // namespace vexa
