#include "maps/map_file_name.h"

#include <charconv>

#include "util/text.h"

namespace vexa {

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = lower(c);
    return out;
}

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    // Greedy match with one back-track point: the last "*" seen.
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::array<std::string_view, 7> splitMapFileName(std::string_view name) {
    std::array<std::string_view, 7> fields{};
    std::size_t start = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t sep = name.find('_', start);
        if (sep == std::string_view::npos) {
            fields[i] = name.substr(start);
            return fields;
        }
        fields[i] = name.substr(start, sep - start);
        start = sep + 1;
    }
    const std::size_t dot = name.find('.', start);
    fields[6] = name.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
    return fields;
}

std::optional<int> parseMapField(std::string_view field) {
    int value = 0;
    const char* first = field.data();
    const char* last = field.data() + field.size();
    if (first != last && *first == '+') ++first;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (field.empty() || ec != std::errc() || ptr != last) return std::nullopt;
    return value;
}

std::optional<MapFileName> parseMapFileName(std::string_view name) {
    const std::array<std::string_view, 7> field = splitMapFileName(name);
    std::array<int, 5> value{};
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::optional<int> v = parseMapField(field[i + 2]);
        if (!v) return std::nullopt;
        value[i] = *v;
    }
    return MapFileName{std::string(field[1]), value[0], value[1], value[2], value[3], value[4]};
}

std::string formatMapFileName(const MapFileName& n, std::string_view extension) {
    return strprintf("Karte_%s_%d_%d_%d_%d_%d.%.*s", n.zone.c_str(), n.left, n.top, n.resolution, n.width,
                     n.height, static_cast<int>(extension.size()), extension.data());
}

std::string_view fileExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

bool isMapImageExtension(std::string_view e) {
    return e == "png" || e == "jpg" || e == "gif" || e == "bmp";
}

}  // namespace vexa
