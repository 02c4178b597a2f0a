#include "display/font_table.h"

#include <charconv>
#include <cstdio>
#include <mutex>

#include "util/diagnostic_text.h"

namespace vexa {

const std::string& FontTable::face() const {
    static const std::string fallback = kFallbackFace;
    if (fontIndex >= 0 && fontIndex < static_cast<int>(fontFaces.size()))
        return fontFaces[static_cast<std::size_t>(fontIndex)];
    return fallback;
}

FontSet buildFontSet(const std::string& face, int fontSize, const std::string& systemFace) {
    const int size = validFontSize(fontSize);
    FontSet set;
    auto put = [&](FontRole role, const std::string& name, int height, int weight, int escapement) {
        set.fonts[static_cast<std::size_t>(role)] = {name, height, weight, escapement};
    };
    put(FontRole::Large, face, 24, 700, 0);
    put(FontRole::SmallSystem, systemFace, 10, 700, 0);
    put(FontRole::Huge, face, 30, 900, 0);
    put(FontRole::HugeTurned, face, 30, 900, 900);
    put(FontRole::HugeUpsideDown, face, 30, 900, 1800);
    put(FontRole::User, face, size, 700, 0);
    put(FontRole::UserTurned, face, size, 700, 900);
    put(FontRole::UserUpsideDown, face, size, 700, 1800);
    put(FontRole::Small, face, 10, 700, 0);
    put(FontRole::SmallBold, systemFace, 8, 700, 0);
    return set;
}

namespace {

std::mutex fontSetMutex;

std::shared_ptr<const FontSet>& publishedSet() {
    static std::shared_ptr<const FontSet> set =
        std::make_shared<const FontSet>(buildFontSet(kFallbackFace, kDefaultFontSize, kFallbackFace));
    return set;
}

}  // namespace

void publishFontSet(FontSet set) {
    auto next = std::make_shared<const FontSet>(std::move(set));
    std::lock_guard lock(fontSetMutex);
    publishedSet().swap(next);  // the old set goes with the last frame that drew with it
}

std::shared_ptr<const FontSet> currentFontSet() {
    std::lock_guard lock(fontSetMutex);
    return publishedSet();
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
