// Pixel coordinates computed in double from grid positions, map edges and the zoom factor.
// A converted value beyond the range of int is undefined behaviour, and map names and zoom
// steps can produce such values; these conversions truncate toward zero like a cast but keep
// the result within ±2^28, far beyond any map image or drawing buffer, so that sums of two
// coordinates (a rectangle's corner) stay inside int as well. NaN becomes 0.
#pragma once

#include <cmath>

namespace vexa {

inline constexpr double kPixelCoordinateLimit = 268435456.0;  // 2^28

inline int pixelCoordinate(double value) {
    if (std::isnan(value)) return 0;
    if (value >= kPixelCoordinateLimit) return static_cast<int>(kPixelCoordinateLimit);
    if (value <= -kPixelCoordinateLimit) return -static_cast<int>(kPixelCoordinateLimit);
    return static_cast<int>(value);
}

}  // namespace vexa
