#include "routes/poi_text.h"

#include <algorithm>
#include <cmath>

#include "util/number_scan.h"

namespace vexa {

namespace {

// "Lon", "lon", "Longitude", ...: the longitude column's title.
bool isLongitudeTitle(std::string_view text) {
    if (text.size() < 3) return false;
    for (std::size_t i = 0; i < 3; ++i)
        if ((text[i] | 0x20) != "lon"[i]) return false;
    return true;
}

}  // namespace

int PoiTextReader::lineAt(std::size_t pos) {
    pos = std::min(pos, text_.size());
    if (pos > counted_) {
        line_ += static_cast<int>(std::count(text_.begin() + static_cast<std::ptrdiff_t>(counted_),
                                             text_.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
        counted_ = pos;
    }
    return line_;
}

// As strtok: leading separators are skipped, the token ends at the next separator, which is
// consumed. None when only separators are left.
std::optional<std::string_view> PoiTextReader::token(std::string_view separators) {
    const std::size_t start = text_.find_first_not_of(separators, pos_);
    if (start == std::string_view::npos) {
        pos_ = text_.size();
        return std::nullopt;
    }
    const std::size_t end = std::min(text_.find_first_of(separators, start), text_.size());
    pos_ = std::min(end + 1, text_.size());
    return text_.substr(start, end - start);
}

std::optional<std::string> PoiTextReader::name() {
    if (pos_ < text_.size() && text_[pos_] == '"') {
        std::string unquoted;
        for (std::size_t p = pos_ + 1; p < text_.size(); ++p) {
            if (text_[p] == '\n') break;  // a name never spans lines
            if (text_[p] != '"') {
                unquoted += text_[p];
            } else if (p + 1 < text_.size() && text_[p + 1] == '"') {
                unquoted += '"';
                ++p;
            } else {
                pos_ = std::min(text_.find(';', p), text_.size());  // past what follows the quote
                pos_ = std::min(pos_ + 1, text_.size());
                return unquoted;
            }
        }
        // No closing quote on the line: the quote is part of the name.
    }
    const auto plain = token(";");
    if (!plain) return std::nullopt;
    return std::string(*plain);
}

std::optional<PoiTextLine> PoiTextReader::next() {
    for (;;) {
        PoiTextLine fields;
        pos_ = std::min(text_.find_first_not_of(";\r\n", pos_), text_.size());
        fields.line = lineAt(pos_);
        auto nameField = name();
        if (!nameField) return std::nullopt;
        fields.name = std::move(*nameField);
        const auto code = token(";");
        const auto lon = token(";");
        const auto lat = token(";");
        if (!code || !lon || !lat) return std::nullopt;
        token("\n");
        fields.code = *code;
        fields.lon = *lon;
        fields.lat = *lat;
        const bool header = first_ && fields.line == 1 && isLongitudeTitle(fields.lon);
        first_ = false;
        if (!header) return fields;
    }
}

std::string poiTextName(std::string_view name) {
    if (name.find_first_of(";\"") == std::string_view::npos) return std::string(name);
    std::string quoted = "\"";
    for (const char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted += '"';
}

bool poiCoordinateReadable(std::string_view text) {
    return std::isfinite(scanFloat(text, NAN));
}

}  // namespace vexa
