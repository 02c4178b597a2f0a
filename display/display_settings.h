// The display choices the views read: coordinate format, the big-number display and its
// content, the info line and the compass style.
#pragma once

#include <string>

namespace vexa {

struct DisplaySettings {
    int coordFormat = 0;    // 0 grid coordinates, 1 decimal degrees, 2 degrees, minutes, seconds
    bool bigInfo = false;   // the big-number display is shown
    int infoPage = 0;       // what it shows, 1..7 ("V", "V+Profil", "Dist", …)
    bool infoLine = false;  // the Move view's speed/altitude/distance line
    int compassStyle = 0;   // 0 small target compass, 1 large compass rose
};

// The position texts the views share: the geographic text and the grid label.
struct PositionTexts {
    std::string geoText;    // at most 128 characters
};

}  // namespace vexa
