// POIs from ";"-separated text, the format of the POI import and the CSV export:
// name;code;lon;lat;rest, one POI per line.
#pragma once

#include <string_view>
#include <vector>

#include "routes/poi_record.h"

namespace vexa {

struct PoiText {
    std::vector<PoiRecord> pois;
    std::vector<int> unreadableLines;  // lines left out: coordinates no numbers or out of range
};

// Splits the text as the POI import does (routes/poi_text.h). Names are Latin-1 unless they
// are well-formed UTF-8; they are cut to 63 characters. Code "1" marks degrees, minutes and
// seconds packed as DDDMMSS and DDMMSS, converted to degrees with code "2". Lines whose
// coordinates are no numbers, or whose position lies outside ±180°/±90°, are left out and
// named. Stops at the end of the text or at a missing field.
PoiText ParsePoiText(std::string_view bytes);

// "DDDMMSS.s" (longitude, three degree digits) or "DDMMSS.s" (latitude, two) in degrees.
double packedDmsDegrees(std::string_view text, int degreeDigits);

}  // namespace vexa
