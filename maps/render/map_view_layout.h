// Where the map views put their parts on a screen of any size, in screen pixels (the visible
// middle of the frame): the eight edge arrows of the Karte view, the info text lines and the
// scale bar. Drawing, taps and the layout checks all take them from here.
#pragma once

#include <array>

#include <QPolygon>
#include <QRect>

#include "frame/screen_size.h"

namespace vexa {

struct EdgeArrow {
    QRect zone;     // screen pixels; a tap inside pans the map
    QPolygon mark;  // screen pixels
    int east;       // pan direction: +1 east, −1 west, 0
    int north;      // +1 north, −1 south, 0
};

// The eight edge arrows: the yellow mark drawn at each edge and the tap zone around it that
// pans the map that way. Right, left, top, bottom, then the corners top right, bottom right, top left, bottom left.
// The bottom row stands 70 pixels above the screen's bottom, 50 in full screen, clear of the
// status line.
std::array<EdgeArrow, 8> edgeArrows(ScreenSize screen, bool fullScreen);

// The info text lines at the top of the map views: the map name (or the missing-map notice)
// and, in the Karte view, the position line below it.
inline constexpr int kInfoLineLeft = 2;
inline constexpr int kInfoLineTop = 22;
inline constexpr int kInfoLineSpacing = 16;
// The Move view's info line (speed, altitude, trip, time) at the bottom.
inline int moveInfoLineTop(ScreenSize screen) { return screen.height - 17; }

// The scale bar of the map views without maps: its line y and its horizontal extent. In the
// Karte view it stands below the two info lines, whose height is `lineHeight`; in the Move
// view near the top.
struct ScaleBarPlace {
    int y;
    int x0;
    int x1;
    int labelLeft;  // the label stands above the bar from here
};
ScaleBarPlace scaleBarPlace(ScreenSize screen, bool karteView, bool landscape, int lineHeight, int labelHeight);

}  // namespace vexa
