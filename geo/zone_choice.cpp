#include "geo/zone_choice.h"

#include <algorithm>
#include <cmath>

namespace vexa {

int utmZoneAt(double longitude) {
    return std::clamp(static_cast<int>(std::floor((longitude + 180.0) / 6.0)) + 1, 1, 60);
}

int gkStripAt(double longitude) { return static_cast<int>(std::lround(longitude / 3.0)); }

}  // namespace vexa
