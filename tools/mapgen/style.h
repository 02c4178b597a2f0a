// Colours, line widths and type sizes of the demo maps.
#pragma once

#include <QColor>

namespace vexa::mapgen::style {

inline const QColor kLand{0xF4, 0xF1, 0xE4};
inline const QColor kWater{0xB5, 0xD6, 0xEE};
inline const QColor kShore{0x5E, 0x97, 0xC9};
inline const QColor kRiver{0x3F, 0x84, 0xCC};
inline const QColor kCanal{0x4A, 0x78, 0xB8};
inline const QColor kBorder{0x8A, 0x4F, 0x8F};
inline const QColor kBorderHalo{0xE6, 0xD5, 0xE8};
inline const QColor kGrid{0x4A, 0x55, 0x7A, 60};
inline const QColor kGridMajor{0x4A, 0x55, 0x7A, 120};
inline const QColor kGridText{0x3D, 0x46, 0x66};
inline const QColor kTownFill{0xC0, 0x39, 0x2B};
inline const QColor kTownRing{0xFF, 0xFF, 0xFF};
inline const QColor kTownText{0x1E, 0x1E, 0x1E};
inline const QColor kHalo{0xFF, 0xFF, 0xFF, 230};

// River width in pixels at 10 px/km by GSHHG river level: 0 double-lined rivers, 1-4
// permanent rivers from major to minor, 5-7 intermittent ones, 8-10 canals from major to
// irrigation canals.
inline double riverWidth(int level) {
    static constexpr double widths[] = {2.4, 2.2, 1.8, 1.4, 1.1, 0.9, 0.9, 0.8, 1.8, 1.3, 1.0};
    return (level >= 0 && level <= 10) ? widths[level] : 1.0;
}
inline bool isCanal(int level) { return level >= 8; }
inline bool isIntermittent(int level) { return level >= 5 && level <= 7; }

// Town dot radius and label size in pixels at 10 px/km by size class (0 largest).
inline double townRadius(int townClass) {
    static constexpr double radii[] = {6.5, 5.0, 4.0, 3.2, 2.6};
    return radii[townClass];
}
inline int townTextPx(int townClass) {
    static constexpr int sizes[] = {18, 15, 13, 12, 11};
    return sizes[townClass];
}
inline bool townTextBold(int townClass) { return townClass <= 1; }

inline constexpr int kGridTextPx = 11;

// Everything grows a little with the resolution, so that the detailed maps do not look empty.
inline double scaleFor(int resolution) {
    return resolution >= 100 ? 1.5 : resolution >= 25 ? 1.1 : 1.0;
}

}  // namespace vexa::mapgen::style
