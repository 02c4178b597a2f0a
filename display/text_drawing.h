// Text placed the way the views lay it out: by its top-left corner, with or without an opaque
// background, and the fonts the views use.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <QColor>
#include <QFont>
#include <QRect>

#include "display/font_table.h"

class QPainter;

namespace vexa {

// The font of the published font set for `role` (any thread). Its escapement is not part of
// the QFont: who draws with a turned font turns the painter by `fontEscapement`.
QFont viewFont(FontRole role);
QFont viewFont(const FontDescription& desc);
int fontEscapement(FontRole role);
// The user-sized text font, also the map font of the labels.
inline QFont mapFont() { return viewFont(FontRole::User); }
inline QFont smallFont() { return viewFont(FontRole::Small); }
inline QFont smallBoldFont() { return viewFont(FontRole::SmallBold); }
inline QFont smallSystemFont() { return viewFont(FontRole::SmallSystem); }
inline QFont largeFont() { return viewFont(FontRole::Large); }
inline QFont hugeFont() { return viewFont(FontRole::Huge); }
// The long map-name and position lines: the user-sized font one pixel smaller, regular and
// narrowed, so that a map's whole file name fits the narrowest window at the default size.
QFont lineFont();

// The box `text` takes in `font` with its top-left corner at (x, y), as the functions below
// draw it; the layouts measure with it.
QRect textRect(const QFont& font, int x, int y, std::string_view text);

// The pixels the glyphs of `text` cover when drawn there (no line spacing around them).
QRect textInk(const QFont& font, int x, int y, std::string_view text);

// `text` as it fits into `width` pixels in `font`: unchanged, or cut with "…" at the end.
std::string fittedText(const QFont& font, std::string_view text, int width);

// Draws `text` (UTF-8) with its top-left corner at (x, y) on a transparent background.
void drawTextAt(QPainter& painter, int x, int y, std::string_view text);
// The same on an opaque background box of `background`.
void drawTextOn(QPainter& painter, int x, int y, std::string_view text, const QColor& background);
// Centred in the band from x0 to x1 with its top at y.
void drawTextCentred(QPainter& painter, int x0, int x1, int y, std::string_view text);

// Collects every text the views draw on this thread while it lives (outermost wins), with
// its top-left corner before any painter transform; the screenshot tool and tests read it.
class DrawnTexts {
public:
    struct Entry {
        int x;
        int y;
        std::string text;
    };
    DrawnTexts();
    ~DrawnTexts();
    DrawnTexts(const DrawnTexts&) = delete;
    DrawnTexts& operator=(const DrawnTexts&) = delete;

    const std::vector<Entry>& entries() const { return entries_; }
    bool has(std::string_view text) const;
    // The first entry whose text equals `text`, or nullptr.
    const Entry* find(std::string_view text) const;
    void clear() { entries_.clear(); }

    static void note(int x, int y, std::string_view text);

private:
    std::vector<Entry> entries_;
    DrawnTexts* outer_;
};

}  // namespace vexa
