#include "gps/nmea_fields.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace vexa {

void splitFields(std::string_view sentence, NmeaFields& out) {
    // One pass over the characters: fields are short, so a plain loop beats a search per field.
    const char* const data = sentence.data();
    const std::size_t size = sentence.size();
    int n = 0;
    std::size_t start = 0;
    std::size_t i = 0;
    for (; i < size; ++i) {
        const char c = data[i];
        if (c == '*') break;  // the fields end at the checksum
        if (c != ',') continue;
        out.field[n++] = std::string_view(data + start, i - start);
        start = i + 1;
        if (n == kMaxNmeaFields - 1) {
            // The last field takes the rest up to the checksum.
            while (i + 1 < size && data[i + 1] != '*') ++i;
            i = i + 1;
            break;
        }
    }
    out.field[n++] = size == 0 ? std::string_view{} : std::string_view(data + start, i - start);
    out.count = size == 0 ? 0 : n;
}

namespace {

std::string_view skipBlanksAndPlus(std::string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    return text.substr(i);
}

template <typename T>
T parseReal(std::string_view text) {
    bool negative = false;
    const std::string_view rest = skipBlanksAndPlus(text, negative);
    T value = 0;
    const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), value,
                                        std::chars_format::fixed);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0;
    return negative ? -value : value;
}

}  // namespace

float parseFloat(std::string_view text) { return parseReal<float>(text); }
double parseDouble(std::string_view text) { return parseReal<double>(text); }

int parseInt(std::string_view text) {
    bool negative = false;
    const std::string_view rest = skipBlanksAndPlus(text, negative);
    long long value = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > INT_MAX) {
            value = INT_MAX;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

double nmeaToDegrees(std::string_view field) {
    const float v = parseFloat(field);
    const float dx = v * 0.01f;
    const float degrees = std::trunc(dx);
    const float decimal = degrees + (dx - degrees) * 1.6666666f;
    return static_cast<double>(decimal);
}

}  // namespace vexa
