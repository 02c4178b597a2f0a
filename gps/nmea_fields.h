// Reading the fields of an NMEA sentence: a tokeniser that skips empty fields the way the
// parsers expect, and number conversions that never depend on the locale and never overflow.
#pragma once

#include <cstdint>
#include <string_view>

namespace vexa {

// Splits at any of the given delimiters and skips runs of them, so empty fields vanish.
// `emptyFieldNext` serves the fields that may be empty: when the character right after the
// previous field's delimiter is a comma, that field is empty and the scan steps over it.
class FieldScanner {
public:
    explicit FieldScanner(std::string_view text) : text_(text) {}

    // The next non-empty field, or an empty view when none remains.
    std::string_view next(std::string_view delimiters = ",");
    bool emptyFieldNext();
    bool atEnd() const { return pos_ >= text_.size(); }
    // Offset of the scan position in the text (where the next search begins).
    std::size_t position() const { return pos_; }
    // Offset in the text of the field `next` returned last.
    std::size_t lastFieldStart() const { return lastStart_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t lastStart_ = 0;
};

// Leading white space and an optional sign, then as much of a decimal number as there is;
// 0 when there is none. Values beyond the float range give 0; results are always finite.
float parseFloat(std::string_view text);
double parseDouble(std::string_view text);
// Leading white space, an optional sign and decimal digits; saturates instead of overflowing.
int parseInt(std::string_view text);

// A double truncated toward zero into an int, saturating at the int range; NaN gives 0.
int truncToInt(double value);

// ddmm.mmmm (or dddmm.mmmm) to decimal degrees, in the receiver's single precision.
double nmeaToDegrees(std::string_view field);

// The first occurrence of `tag` in the line is at its first character.
inline bool beginsWith(std::string_view line, std::string_view tag) {
    return line.substr(0, tag.size()) == tag;
}

}  // namespace vexa
