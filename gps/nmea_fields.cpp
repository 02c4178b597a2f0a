#include "gps/nmea_fields.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

namespace vexa {

void splitFields(std::string_view sentence, NmeaFields& out) {
    out.count = 0;
    if (sentence.empty()) return;
    // The fields end at the checksum.
    if (const void* star = std::memchr(sentence.data(), '*', sentence.size()))
        sentence = sentence.substr(0, static_cast<std::size_t>(static_cast<const char*>(star) - sentence.data()));
    const char* p = sentence.data();
    const char* const end = p + sentence.size();
    int n = 0;
    for (;;) {
        const auto* comma = static_cast<const char*>(std::memchr(p, ',', static_cast<std::size_t>(end - p)));
        const char* fieldEnd = comma ? comma : end;
        out.field[n++] = std::string_view(p, static_cast<std::size_t>(fieldEnd - p));
        if (!comma || n == kMaxNmeaFields) break;
        p = comma + 1;
    }
    out.count = n;
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

int truncToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<int>(value);
}

double nmeaToDegrees(std::string_view field) {
    const float v = parseFloat(field);
    const float dx = v * 0.01f;
    const float degrees = std::trunc(dx);
    const float decimal = degrees + (dx - degrees) * 1.6666666f;
    return static_cast<double>(decimal);
}

}  // namespace vexa
