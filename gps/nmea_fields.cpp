#include "gps/nmea_fields.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace vexa {

std::string_view FieldScanner::next(std::string_view delimiters) {
    while (pos_ < text_.size() && delimiters.find(text_[pos_]) != std::string_view::npos) ++pos_;
    if (pos_ >= text_.size()) {
        lastStart_ = text_.size();
        return {};
    }
    const std::size_t start = pos_;
    while (pos_ < text_.size() && delimiters.find(text_[pos_]) == std::string_view::npos) ++pos_;
    const std::string_view field = text_.substr(start, pos_ - start);
    if (pos_ < text_.size()) ++pos_;  // the delimiter that ended the field is consumed
    lastStart_ = start;
    return field;
}

bool FieldScanner::emptyFieldNext() {
    if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        return true;
    }
    return false;
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
