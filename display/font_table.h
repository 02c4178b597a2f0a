// The font table: the installed faces collected at start, the chosen face and the text size of
// the user-sized fonts, and the small rules of the display settings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

class DiagnosticText;

inline constexpr int kMaxFontFaces = 50;
inline constexpr int kDefaultFontSize = 12;
inline constexpr const char* kPrivateFontFile = "vexaFont.ttf";
inline constexpr const char* kDefaultFace = "Tahoma";
inline constexpr const char* kFallbackFace = "DejaVu Sans";  // installed with Qt on Debian

struct FontTable {
    std::vector<std::string> fontFaces;  // at most 50
    int fontIndex = 0;
    std::string configuredFace = kDefaultFace;
    int fontSize = kDefaultFontSize;

    const std::string& face() const;  // the chosen face, or the fallback when none is known
};

// Keeps the first 50 installed faces and picks the configured one ("Font found: <%d> <%s>").
// The default face is rarely installed here: then the fallback is taken and said so.
void collectFonts(FontTable& table, const std::vector<std::string>& installed, DiagnosticText& log);
// "Font" button and key "f": the next face, back to the first after the last.
void nextFont(FontTable& table);
// A typed or stored size: 0, negative or unreadable gives 12.
int fontSizeOf(std::string_view text);
int validFontSize(int size);
// "Koord": 0 → 1 → 2 → 0; grid coordinates (0) are skipped on plate carrée maps.
int nextCoordFormat(int format, bool plateCarree);

}  // namespace vexa
