#include "exchange/poi_csv_reader.h"

#include <cmath>

#include "exchange/number_text.h"
#include "util/text.h"

namespace vexa {

namespace {

// strtok: skips leading separators, takes the token up to the next separator and consumes
// that one separator. Empty when only separators are left.
std::string_view nextToken(std::string_view text, std::size_t& pos, std::string_view separators) {
    pos = text.find_first_not_of(separators, pos);
    if (pos == std::string_view::npos) {
        pos = text.size();
        return {};
    }
    const std::size_t end = std::min(text.find_first_of(separators, pos), text.size());
    const std::string_view token = text.substr(pos, end - pos);
    pos = end < text.size() ? end + 1 : end;
    return token;
}

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

std::vector<PoiRecord> ParsePoiText(std::string_view bytes) {
    std::vector<PoiRecord> pois;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::string_view fields[4];
        for (auto& field : fields) field = nextToken(bytes, pos, ";");
        if (fields[3].empty()) break;
        nextToken(bytes, pos, "\n");

        PoiRecord poi;
        const std::string_view name = fields[0].substr(0, 127);
        const std::string utf8 = isValidUtf8(name) ? std::string(name) : latin1ToUtf8(name);
        poi.name = std::string(utf8Prefix(utf8, kPoiNameChars));
        poi.datumCode = fields[1].front();
        if (fields[1] == "1") {
            poi.lon = packedDmsDegrees(fields[2].substr(0, 31), 3);
            poi.lat = packedDmsDegrees(fields[3].substr(0, 31), 2);
            poi.datumCode = kDatumWgs84;
        } else {
            poi.lon = numberOf(fields[2].substr(0, 31));
            poi.lat = numberOf(fields[3].substr(0, 31));
        }
        if (std::fabs(poi.lon) <= 180.0 && std::fabs(poi.lat) <= 90.0) pois.push_back(std::move(poi));
    }
    return pois;
}

}  // namespace vexa
