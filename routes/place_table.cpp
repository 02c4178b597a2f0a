#include "routes/place_table.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string_view>

#include "util/text.h"

namespace vexa {

namespace {

constexpr std::string_view kHeader = "name\tlongitude\tlatitude";

// A whole decimal number and nothing else, finite and within [low, high].
bool parseDegrees(std::string_view text, double low, double high, double& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && std::isfinite(value) &&
           value >= low && value <= high;
}

// Valid UTF-8 whose every character is in Latin-1 and none is a control character.
bool usableName(std::string_view name) {
    if (name.empty() || latin1ToUtf8(utf8ToLatin1(name)) != name) return false;
    for (const char ch : utf8ToLatin1(name)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return false;
    }
    return true;
}

// Splits "name<TAB>lon<TAB>lat" into a place; false for anything else. `why` names the fault.
bool parseLine(std::string_view line, Place& place, const char*& why) {
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos || line.find('\t', tab2 + 1) != std::string_view::npos) {
        why = "nicht genau drei Spalten";
        return false;
    }
    const std::string_view name = line.substr(0, tab1);
    if (!usableName(name)) {
        why = "Name leer oder nicht Latin-1";
        return false;
    }
    if (!parseDegrees(line.substr(tab1 + 1, tab2 - tab1 - 1), -180.0, 180.0, place.lon) ||
        !parseDegrees(line.substr(tab2 + 1), -90.0, 90.0, place.lat)) {
        why = "Koordinate ungueltig";
        return false;
    }
    place.name.assign(name);
    return true;
}

std::vector<Place> failed(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return {};
}

}  // namespace

std::vector<Place> loadPlaceTable(const std::filesystem::path& file, std::string* error) {
    const std::string where = file.string();
    std::ifstream in(file, std::ios::binary);
    if (!in) return failed(error, strprintf("Ortsverzeichnis %s nicht lesbar", where.c_str()));
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return failed(error, strprintf("Ortsverzeichnis %s nicht lesbar", where.c_str()));

    std::vector<Place> places;
    std::size_t lineNumber = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (lineNumber == 1) {
            if (line != kHeader) {
                return failed(error, strprintf("Ortsverzeichnis %s: Kopfzeile fehlt",
                                               where.c_str()));
            }
            continue;
        }
        Place place;
        const char* why = "";
        if (!parseLine(line, place, why)) {
            return failed(error, strprintf("Ortsverzeichnis %s: Zeile %zu fehlerhaft, %s",
                                           where.c_str(), lineNumber, why));
        }
        places.push_back(std::move(place));
    }
    if (places.empty()) {
        return failed(error, strprintf("Ortsverzeichnis %s enthaelt keine Orte", where.c_str()));
    }
    if (error) error->clear();
    return places;
}

}  // namespace vexa
