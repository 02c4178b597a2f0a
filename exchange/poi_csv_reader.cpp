#include "exchange/poi_csv_reader.h"

#include <cmath>

#include "exchange/number_text.h"
#include "routes/poi_text.h"
#include "util/text.h"

namespace vexa {

namespace {

// "%f" into a float.
double numberOf(std::string_view text) {
    double value = 0.0;
    return readLeadingNumber(text, value) ? singlePrecision(value) : 0.0;
}

}  // namespace

double packedDmsDegrees(std::string_view text, int degreeDigits) {
    const auto d = static_cast<std::size_t>(degreeDigits);
    const auto degrees = static_cast<float>(numberOf(text.substr(0, d)));
    const auto minutes = static_cast<float>(text.size() > d ? numberOf(text.substr(d, 2)) : 0.0);
    const auto seconds = static_cast<float>(text.size() > d + 2 ? numberOf(text.substr(d + 2)) : 0.0);
    return degrees + minutes * 0.016666668f + seconds * 0.00027777778f;
}

PoiText ParsePoiText(std::string_view bytes) {
    PoiText text;
    PoiTextReader reader(bytes);
    while (auto fields = reader.next()) {
        if (!poiCoordinateReadable(fields->lon) || !poiCoordinateReadable(fields->lat)) {
            text.unreadableLines.push_back(fields->line);
            continue;
        }
        PoiRecord poi;
        const std::string_view name = std::string_view(fields->name).substr(0, 127);
        const std::string utf8 = isValidUtf8(name) ? std::string(name) : latin1ToUtf8(name);
        poi.name = std::string(utf8Prefix(utf8, kPoiNameChars));
        poi.datumCode = fields->code.front();
        if (fields->code == "1") {
            poi.lon = packedDmsDegrees(fields->lon.substr(0, 31), 3);
            poi.lat = packedDmsDegrees(fields->lat.substr(0, 31), 2);
            poi.datumCode = kDatumWgs84;
        } else {
            poi.lon = numberOf(fields->lon.substr(0, 31));
            poi.lat = numberOf(fields->lat.substr(0, 31));
        }
        if (std::fabs(poi.lon) <= 180.0 && std::fabs(poi.lat) <= 90.0) text.pois.push_back(std::move(poi));
        else text.unreadableLines.push_back(fields->line);
    }
    return text;
}

}  // namespace vexa
