#include "exchange/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vexa {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool scanNumber(std::string_view text, std::size_t& pos, double& value) {
    std::size_t p = pos;
    if (p < text.size() && text[p] == '+') ++p;  // from_chars takes '-' only
    if (p >= text.size()) return false;
    const bool negative = text[p] == '-';
    const std::size_t digits = p + (negative ? 1 : 0);
    // A number starts with a digit, or with a point followed by one.
    if (digits >= text.size()) return false;
    if (!isDigit(text[digits]) &&
        !(text[digits] == '.' && digits + 1 < text.size() && isDigit(text[digits + 1])))
        return false;
    const char* begin = text.data() + p;
    const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Far too large or too small for any coordinate: not a number we use.
        value = std::numeric_limits<double>::quiet_NaN();
    } else if (ec != std::errc()) {
        return false;
    }
    pos = static_cast<std::size_t>(end - text.data());
    return true;
}

bool readLeadingNumber(std::string_view text, double& value) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' ||
                                 text[pos] == '\n'))
        ++pos;
    return scanNumber(text, pos, value);
}

void appendFixed(std::string& out, double value, int precision) {
    char buffer[400];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                         std::chars_format::fixed, precision);
    out.append(buffer, ec == std::errc() ? static_cast<std::size_t>(end - buffer) : 0);
}

void appendInt(std::string& out, long value) {
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, ec == std::errc() ? static_cast<std::size_t>(end - buffer) : 0);
}

[[gnu::noinline]] double singlePrecision(double value) {
    if (std::isnan(value)) return value;
    // Beyond the float range a float holds infinity (the cast itself would be undefined).
    if (std::fabs(value) > std::numeric_limits<float>::max()) return std::copysign(HUGE_VAL, value);
    return static_cast<float>(value);
}

int truncatedMetres(double value) {
    if (!std::isfinite(value)) return 0;
    constexpr double kMax = std::numeric_limits<int>::max();
    constexpr double kMin = std::numeric_limits<int>::min();
    return static_cast<int>(std::trunc(std::fmin(std::fmax(value, kMin), kMax)));
}

}  // namespace vexa
