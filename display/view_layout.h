// The parts of each view on a screen of a given size, as the drawing places them: the layout
// checks run over these lists for every screen size.
#pragma once

#include <vector>

#include "display/layout_element.h"
#include "frame/frame_state.h"

namespace vexa {

// Karte: the edge arrows, the two info lines and, without maps, the scale bar.
// Move: the missing-map notice, the big numbers of display page `infoPage` below it and the
// info line. GPS: every part of the GPS view. The NMEA view is a text field filling the screen.
std::vector<LayoutElement> viewLayout(DisplayMode view, ScreenSize screen, bool fullScreen = false, int infoPage = 7);

}  // namespace vexa
