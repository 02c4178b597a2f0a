// A double truncated toward zero into an int, saturating at the int range; NaN gives 0.
// A plain cast of a value beyond the range is undefined behaviour, and received or stored
// numbers can be anything.
#pragma once

#include <climits>
#include <cmath>

namespace vexa {

inline int truncToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace vexa
