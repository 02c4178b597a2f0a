#include "gps/nmea_fields.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

#include "util/byte_mask.h"

namespace vexa {

namespace {

// The record is full but for its last field, which takes the rest up to the checksum.
[[gnu::cold]] [[gnu::noinline]] void restField(NmeaFields& out, int n, std::size_t at, std::size_t size) {
    const void* star = std::memchr(out.text + at + 1, '*', size - at - 1);
    out.end[n++] = static_cast<std::uint16_t>(star ? static_cast<const char*>(star) - out.text : size);
    out.count = n;
}

}  // namespace

[[gnu::hot]] void splitFields(std::string_view sentence, NmeaFields& out) {
    const char* const data = sentence.data();
    const std::size_t size = std::min<std::size_t>(sentence.size(), 0xffff);
    out.text = data;
    out.count = 0;
    if (size == 0) return;
    int n = 0;
    std::size_t i = 0;
    // The commas of `commas` (bit k: character i + k) end fields; false when the record filled.
    const auto endFields = [&](unsigned commas) {
        for (; commas; commas &= commas - 1) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(commas));
            out.end[n++] = static_cast<std::uint16_t>(at);
            if (n == kMaxNmeaFields - 1) [[unlikely]] {
                restField(out, n, at, size);
                return false;
            }
        }
        return true;
    };
#if defined(__SSE2__)
    // Sixteen characters at once: the commas before the first '*' (the fields end there). The
    // last few characters are read as the last sixteen, those already seen shifted out.
    while (i < size && size >= 16) {
        const std::size_t from = std::min(i, size - 16);
        const unsigned seen = static_cast<unsigned>(i - from);
        unsigned commas = byteMask16(data + from, ',') >> seen;
        const unsigned stars = byteMask16(data + from, '*') >> seen;
        if (stars) commas &= (stars & (0u - stars)) - 1;
        if (!endFields(commas)) return;
        if (stars) {
            out.end[n++] = static_cast<std::uint16_t>(i + static_cast<std::size_t>(__builtin_ctz(stars)));
            out.count = n;
            return;
        }
        i = from + 16;
    }
#endif
    for (; i < size; ++i) {
        const char c = data[i];
        if (c == '*') break;
        if (c == ',' && !endFields(1u)) return;
    }
    out.end[n++] = static_cast<std::uint16_t>(i);
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

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Which short decimals one division gives correctly rounded: the digits (at most
// `significant` of them after leading zeros) and the power of ten (at most `scale`) are exact
// doubles, so their quotient is rounded once. For a float the quotient is rounded twice (to a
// double, then to a float); with at most 9 digits and 8 decimals a quotient that is not itself
// halfway between two floats lies farther from that half than half a double's step, so the
// second rounding goes the same way as a single one would.
template <typename T> struct ShortDecimalLimits;
template <> struct ShortDecimalLimits<double> { static constexpr int significant = 15, scale = 22; };
template <> struct ShortDecimalLimits<float> { static constexpr int significant = 9, scale = 8; };

// Digits with an optional point and more digits, as NMEA writes its numbers, converted in
// place. False (nothing written) for anything else, which takes the general conversion.
template <typename T>
bool shortDecimal(std::string_view text, T& value) {
    using Limits = ShortDecimalLimits<T>;
    std::uint64_t mantissa = 0;
    int significant = 0, scale = 0;
    std::size_t i = 0;
    const auto digits = [&](bool fraction) {
        const std::size_t first = i;
        for (; i < text.size(); ++i) {
            const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
            if (digit > 9) break;
            mantissa = mantissa * 10 + digit;
            significant += mantissa != 0;
            scale += fraction;
        }
        return i > first;
    };
    if (!digits(false)) return false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (!digits(true)) return false;
    }
    if (significant > Limits::significant || scale > Limits::scale) return false;
    value = static_cast<T>(static_cast<double>(mantissa) / kPowersOfTen[scale]);
    return true;
}

template <typename T>
T parseReal(std::string_view text) {
    bool negative = false;
    const std::string_view rest = skipBlanksAndPlus(text, negative);
    T value = 0;
    if (!shortDecimal(rest, value)) {
        const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), value,
                                            std::chars_format::fixed);
        if (result.ec != std::errc() || !std::isfinite(value)) return 0;
    }
    return negative ? -value : value;
}

}  // namespace

[[gnu::hot]] float parseFloat(std::string_view text) { return parseReal<float>(text); }
[[gnu::hot]] double parseDouble(std::string_view text) { return parseReal<double>(text); }

[[gnu::hot]] int parseInt(std::string_view text) {
    // Up to nine plain digits, as NMEA fields hold them, cannot overflow: one short loop.
    if (text.size() <= 9) {
        int value = 0;
        std::size_t i = 0;
        for (; i < text.size(); ++i) {
            const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
            if (digit > 9) break;
            value = value * 10 + static_cast<int>(digit);
        }
        if (i == text.size()) return value;
    }
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

[[gnu::hot]] double nmeaToDegrees(std::string_view field) {
    const float v = parseFloat(field);
    const float dx = v * 0.01f;
    const float degrees = std::trunc(dx);
    const float decimal = degrees + (dx - degrees) * 1.6666666f;
    return static_cast<double>(decimal);
}

}  // namespace vexa
