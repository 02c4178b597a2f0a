#include "display/font_table.h"

#include <charconv>
#include <cstdio>

#include "frame/diagnostics.h"

namespace vexa {

const std::string& FontTable::face() const {
    static const std::string fallback = kFallbackFace;
    if (fontIndex >= 0 && fontIndex < static_cast<int>(fontFaces.size()))
        return fontFaces[static_cast<std::size_t>(fontIndex)];
    return fallback;
}

void collectFonts(FontTable& table, const std::vector<std::string>& installed, DiagnosticText& log) {
    table.fontFaces.clear();
    int fallback = -1;
    bool found = false;
    for (const std::string& face : installed) {
        if (static_cast<int>(table.fontFaces.size()) >= kMaxFontFaces) break;
        const int index = static_cast<int>(table.fontFaces.size());
        table.fontFaces.push_back(face.substr(0, 31));
        if (face == kFallbackFace) fallback = index;
        if (!found && face == table.configuredFace) {
            char line[80];
            std::snprintf(line, sizeof line, "Font found: <%d> <%s>", index, face.c_str());
            AddNmeaListLine(log, line);
            table.fontIndex = index;
            found = true;
        }
    }
    if (found || fallback < 0) return;
    table.fontIndex = fallback;
    AddNmeaListLine(log, "Font " + table.configuredFace + " nicht installiert, statt dessen " + kFallbackFace);
}

void nextFont(FontTable& table) {
    ++table.fontIndex;
    if (table.fontIndex >= static_cast<int>(table.fontFaces.size())) table.fontIndex = 0;
}

int validFontSize(int size) { return size <= 0 ? kDefaultFontSize : size; }

int fontSizeOf(std::string_view text) {
    int size = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (ec != std::errc{} || end != text.data() + text.size()) return kDefaultFontSize;
    return validFontSize(size);
}

int nextCoordFormat(int format, bool plateCarree) {
    format = format + 1 >= 3 ? 0 : format + 1;
    if (format == 0 && plateCarree) format = 1;
    return format;
}

}  // namespace vexa
