#include "exchange/coordinate_tuples.h"

#include "exchange/number_text.h"

namespace vexa {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Separators of the handheld's tokeniser, plus every whitespace character.
bool isSeparator(char c) { return isBlank(c) || c == ',' || c == '<'; }

// Walks the tokens of `text`. For each number calls `number(value, joined)`, where `joined`
// says that a comma stood between it and the previous number; other tokens are skipped.
template <typename NumberFn>
bool forEachNumber(std::string_view text, NumberFn number) {
    std::size_t pos = 0;
    bool comma = false;
    while (pos < text.size()) {
        const char c = text[pos];
        if (isSeparator(c)) {
            comma = comma || c == ',';
            ++pos;
            continue;
        }
        double value = 0.0;
        if (scanNumber(text, pos, value)) {
            if (!number(value, comma)) return false;
        }
        while (pos < text.size() && !isSeparator(text[pos])) ++pos;  // rest of the token
        comma = false;
    }
    return true;
}

}  // namespace

void readCoordinateTuples(std::string_view text,
                          const std::function<bool(double, double, double)>& point) {
    double tuple[3] = {0.0, 0.0, 0.0};
    int n = 0;
    if (text.find(',') == std::string_view::npos) {
        forEachNumber(text, [&](double value, bool) {
            tuple[n++] = value;
            if (n < 3) return true;
            n = 0;
            return point(tuple[0], tuple[1], tuple[2]);
        });
        return;
    }
    bool more = forEachNumber(text, [&](double value, bool joined) {
        if (!joined && n > 0) {
            const bool complete = n >= 2;
            const int had = n;
            n = 0;
            if (complete && !point(tuple[0], tuple[1], had >= 3 ? tuple[2] : 0.0)) return false;
        }
        if (n < 3) tuple[n] = value;
        ++n;
        return true;
    });
    if (more && n >= 2) point(tuple[0], tuple[1], n >= 3 ? tuple[2] : 0.0);
}

}  // namespace vexa
