// Route import from a text overlay (OVL): "XKoord<n>=<lon>" directly followed by
// "YKoord<n>=<lat>" gives a point; every other line is passed over. Each line symbol (Typ 3 or
// 4, or a section without Typ) is a piece of the route with its points in the order of n;
// other symbols (text, rectangles, circles, pictures) are left out.
#pragma once

#include <string_view>

namespace vexa {

struct ImportTarget;

inline constexpr std::string_view kOvlCaption = "parseOVL";

// Replaces the route (emptied first). Lines end at "\n", a "\r" before it is dropped. A
// binary overlay is refused with a message. Returns whether the route got points.
bool parseOVL(std::string_view bytes, ImportTarget& target);

}  // namespace vexa
