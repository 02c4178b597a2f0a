// The texts of a fix: time and date as the views show them, and a writable copy of the time
// field for the clock setting.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "util/fixed_text.h"

namespace vexa {

struct GpsInput;

// A field copied into a bounded, writable buffer (TimeSetting rewrites the hour in place).
struct FieldBuffer {
    char data[128];  // the first `size` characters and a terminator
    std::size_t size = 0;

    explicit FieldBuffer(std::string_view field);
    std::string_view view() const { return {data, size}; }
    std::span<char> span() { return {data, size}; }
};

// The first six characters of a time or date field in pairs joined by `separator`
// ("hh:mm:ss", "dd.mm.yy"); fewer when the field is shorter. Returns the length.
std::size_t pairedText(std::string_view field, char separator, char (&out)[8]);
// "hh:mm:ss" from a time field, "dd.mm.yy" from a date field; empty from an empty field.
void setTimeText(FixedText<8>& text, std::string_view time);
void setDateText(FixedText<8>& text, std::string_view date);
// Today's local date "dd.mm.yy".
void setTodayText(GpsInput& in, FixedText<8>& text);

}  // namespace vexa
