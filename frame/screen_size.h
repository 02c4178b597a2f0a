// The virtual screen the views are drawn for, and the square frame the map views are composed
// in. The window shows the frame's middle; the frame is large enough that the middle turned by
// any angle (course up) still finds map pixels in every corner.
#pragma once

#include <algorithm>
#include <cmath>

namespace vexa {

inline constexpr int kMinScreenSide = 240;
inline constexpr int kMinFrameSide = 400;  // the frame of the 240 × 320 handheld screen

// Side of the square frame for a width × height screen: the screen's diagonal rounded up to a
// multiple of 4 (no padding in the 24-bit rows of the screen buffer, so its middle is the
// frame's middle), at least 400.
inline int frameSideFor(int width, int height) {
    const long long square = static_cast<long long>(width) * width + static_cast<long long>(height) * height;
    long long d = static_cast<long long>(std::sqrt(static_cast<double>(square)));
    while (d * d < square) ++d;
    while (d > 0 && (d - 1) * (d - 1) >= square) --d;
    return std::max(kMinFrameSide, static_cast<int>((d + 3) / 4 * 4));
}

struct ScreenSize {
    int width = 240;
    int height = 320;

    int frameSide() const { return frameSideFor(width, height); }
    // The visible middle of the frame: its left and top edge in frame pixels.
    int left() const { return (frameSide() - width) / 2; }
    int top() const { return (frameSide() - height) / 2; }
    bool operator==(const ScreenSize&) const = default;
};

}  // namespace vexa
