// Map file names: Karte<text>_<zone>_<left>_<top>_<resolution>_<width>_<height>.<extension>
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

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
