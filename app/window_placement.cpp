#include "app/window_placement.h"

#include <algorithm>

namespace vexa {

namespace {
constexpr int kTitleBar = 40;      // a window manager's frame above the inner area
constexpr int kWindowChrome = 100; // title bar, menu bar and a panel, in logical pixels
constexpr int kMaxDefaultScale = 3;
}  // namespace

int defaultScale(QSize available) {
    int scale = 1;
    for (int s = 2; s <= kMaxDefaultScale; ++s)
        if (240 * s <= available.width() && 320 * s + kWindowChrome <= available.height()) scale = s;
    return scale;
}

QRect keepOnScreen(QRect window, const QList<QRect>& available, QSize minimum) {
    if (available.isEmpty()) return window;
    const QRect outer = window.adjusted(0, 0, 0, kTitleBar);
    QRect area = available.front();
    long long best = 0;
    for (const QRect& a : available) {
        const QRect common = a.intersected(outer);
        const long long overlap = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
        if (overlap > best) best = overlap, area = a;
    }
    const int width = std::max(minimum.width(), std::min(window.width(), area.width()));
    const int height = std::max(minimum.height(), std::min(window.height(), area.height() - kTitleBar));
    const int x = std::max(area.left(), std::min(window.x(), area.right() + 1 - width));
    const int y = std::max(area.top(), std::min(window.y(), area.bottom() + 1 - kTitleBar - height));
    return {x, y, width, height};
}

}  // namespace vexa
