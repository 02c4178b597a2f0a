#include "maps/render/map_view_layout.h"

#include <algorithm>

namespace vexa {

std::array<EdgeArrow, 8> edgeArrows(ScreenSize screen, bool fullScreen) {
    const int w = screen.width, h = screen.height;
    const int cx = w / 2, cy = h / 2;
    const int b = h - (fullScreen ? 50 : 70);  // top of the bottom row
    return {{
        {QRect(QPoint(w - 20, cy - 15), QPoint(w - 1, cy + 14)), QPolygon({{w, cy}, {w - 10, cy - 10}, {w - 10, cy + 10}}), 1, 0},
        {QRect(QPoint(0, cy - 15), QPoint(19, cy + 14)), QPolygon({{0, cy}, {10, cy - 10}, {10, cy + 10}}), -1, 0},
        {QRect(QPoint(cx - 15, 0), QPoint(cx + 14, 24)), QPolygon({{cx - 10, 25}, {cx + 10, 25}, {cx, 15}}), 0, 1},
        {QRect(QPoint(cx - 15, b), QPoint(cx + 14, b + 19)), QPolygon({{cx - 10, b}, {cx + 10, b}, {cx, b + 10}}), 0, -1},
        {QRect(QPoint(w - 20, 0), QPoint(w - 1, 19)), QPolygon({{w, 20}, {w, 0}, {w - 20, 0}}), 1, 1},
        {QRect(QPoint(w - 20, b), QPoint(w - 1, b + 19)), QPolygon({{w, b}, {w, b + 20}, {w - 20, b + 20}}), 1, -1},
        {QRect(QPoint(0, 0), QPoint(19, 19)), QPolygon({{0, 20}, {0, 0}, {20, 0}}), -1, 1},
        {QRect(QPoint(0, b), QPoint(19, b + 19)), QPolygon({{0, b}, {0, b + 20}, {20, b + 20}}), -1, -1},
    }};
}

ScaleBarPlace scaleBarPlace(ScreenSize screen, bool karteView, bool landscape, int lineHeight, int labelHeight) {
    const int dx = landscape ? 20 : 0;
    int y = landscape ? 53 : 23;
    if (karteView) y = std::max(y, kInfoLineTop + kInfoLineSpacing + lineHeight + labelHeight + 4);
    return {y, 7 + dx, screen.width - 7 + dx, screen.width / 2 - 20 + dx};
}

}  // namespace vexa
