// The font table: the installed faces collected at start, the chosen face and the text size of
// the user-sized fonts, the set of fonts the views draw with, and the small rules of the
// display settings.
#pragma once

#include <array>
#include <memory>
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

// The fonts the views draw with, each named for its use. The turned and upside-down ones serve
// what is drawn on the picture after it was turned for the landscape and upside-down Move
// display modes.
enum class FontRole {
    Large,           // the trip distance of the GPS view
    SmallSystem,     // texts inside the satellite panel
    Huge,            // the big numbers
    HugeTurned,
    HugeUpsideDown,
    User,            // the text font of the chosen size: view texts, labels (the map font)
    UserTurned,
    UserUpsideDown,
    Small,           // units and profile labels
    SmallBold,       // the satellite numbers and the compass letters, fixed at start
};
inline constexpr int kFontRoles = 10;

struct FontDescription {
    std::string face;
    int pixelHeight = kDefaultFontSize;
    int weight = 700;      // 400 normal, 700 bold, 900 black
    int escapement = 0;    // text direction, tenths of a degree counter-clockwise
};

// One immutable set, built whole and swapped whole: a frame drawn on any thread uses one set.
struct FontSet {
    std::array<FontDescription, kFontRoles> fonts;
    const FontDescription& operator[](FontRole role) const { return fonts[static_cast<std::size_t>(role)]; }
};

// The set from the chosen face and size (an invalid size gives 12); the small system and small
// bold fonts take `systemFace`.
FontSet buildFontSet(const std::string& face, int fontSize, const std::string& systemFace);
// The set the views draw with: replaced by RefreshFont on the UI thread, read by every drawing
// thread. Before the first, the set of the fallback face at size 12.
void publishFontSet(FontSet set);
std::shared_ptr<const FontSet> currentFontSet();

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
