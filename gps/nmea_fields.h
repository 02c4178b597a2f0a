// Reading the fields of an NMEA sentence by position, and number conversions that never
// depend on the locale and never overflow.
#pragma once

#include <cstdint>
#include <string_view>

#include "util/trunc_to_int.h"

namespace vexa {

inline constexpr int kMaxNmeaFields = 48;

// The fields of a sentence by position: split at every comma up to the '*' (or the end), so
// an empty field keeps its place. Field 0 is the tag; fields beyond the last read as empty.
// Fields are views into the sentence, kept as their end positions: splitting writes one small
// number per field and nothing else.
struct NmeaFields {
    const char* text = nullptr;
    int count = 0;
    // Where field i ends (its comma, the '*' or the end); it starts one past the end of field
    // i - 1. Only the first `count` are set.
    std::uint16_t end[kMaxNmeaFields];

    std::string_view operator[](int i) const {
        if (i >= count) return {};
        const std::size_t from = i == 0 ? 0 : end[i - 1] + 1u;
        return {text + from, end[i] - from};
    }
};
// Sentences are read up to their first 65535 characters.
void splitFields(std::string_view sentence, NmeaFields& out);

// Leading white space and an optional sign, then as much of a decimal number as there is;
// 0 when there is none. Values beyond the float range give 0; results are always finite.
float parseFloat(std::string_view text);
double parseDouble(std::string_view text);
// Leading white space, an optional sign and decimal digits; saturates instead of overflowing.
int parseInt(std::string_view text);

// ddmm.mmmm (or dddmm.mmmm) to decimal degrees, in the receiver's single precision.
double nmeaToDegrees(std::string_view field);

}  // namespace vexa
