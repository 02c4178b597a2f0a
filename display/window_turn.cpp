#include "display/window_turn.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "maps/render/map_frame_context.h"

namespace vexa {

namespace {

// cos and sin of −angle, exact for 0, 90 and −90 degrees.
void rotationFactors(double angle, double& c, double& s) {
    if (angle == 0) {
        c = 1; s = 0;
    } else if (angle == 90) {
        c = 0; s = -1;
    } else if (angle == -90) {
        c = 0; s = 1;
    } else {
        const double theta = -angle * 0.017453292519943334;
        c = std::cos(theta);
        s = std::sin(theta);
    }
}

}  // namespace

// Along a row the source moves monotonically, so a row whose first and last pixel have a
// source has one for every pixel between them: such rows read each pixel by a precomputed
// offset without checks. The window goes in tiles, so that the source pixels one tile reads,
// a turned square, stay in the cache.
void turnWindow(const QImage& frame, double angle, QImage& screen) {
    if (frame.format() != QImage::Format_RGB32 && frame.format() != QImage::Format_ARGB32) {
        turnWindow(frame.convertToFormat(QImage::Format_RGB32), angle, screen);
        return;
    }
    const int W = screen.width(), H = screen.height();
    const int w = frame.width(), h = frame.height();
    const int cx = w / 2, cy = h / 2;
    const int left = (w - W) / 2, top = (h - H) / 2;
    double c, s;
    rotationFactors(angle, c, s);
    // The column terms trunc(dx·c) and trunc(dx·s) are the same on every row: computed once.
    const qsizetype line = frame.bytesPerLine();
    std::vector<int> columnX(static_cast<std::size_t>(W)), columnY(static_cast<std::size_t>(W));
    std::vector<qsizetype> columnOffset(static_cast<std::size_t>(W));
    for (int x = 0; x < W; ++x) {
        const double dx = x + left - cx;
        const std::size_t i = static_cast<std::size_t>(x);
        columnX[i] = static_cast<int>(dx * c);
        columnY[i] = static_cast<int>(dx * s);
        columnOffset[i] = columnY[i] * line + static_cast<qsizetype>(columnX[i]) * 4;
    }
    const uchar* bits = frame.constBits();
    uchar* shown = screen.bits();
    const qsizetype shownLine = screen.bytesPerLine();
    const auto inside = [w, h](int sx, int sy) {
        return static_cast<unsigned>(sx) < static_cast<unsigned>(w) && static_cast<unsigned>(sy) < static_cast<unsigned>(h);
    };
    const auto pixelAt = [bits, line](int sx, int sy) {
        return reinterpret_cast<const QRgb*>(bits + sy * line)[sx];
    };
    constexpr int kTile = 32;
    for (int ty = 0; ty < H; ty += kTile)
        for (int tx = 0; tx < W; tx += kTile) {
            const int yEnd = std::min(ty + kTile, H), xEnd = std::min(tx + kTile, W);
            for (int y = ty; y < yEnd; ++y) {
                const double dy = y + top - cy;
                const int bx = static_cast<int>(cx - dy * s);
                const int by = static_cast<int>(dy * c + cy);
                QRgb* out = reinterpret_cast<QRgb*>(shown + y * shownLine);
                if (inside(bx + columnX[0], by + columnY[0]) && inside(bx + columnX[W - 1], by + columnY[W - 1])) {
                    const uchar* base = bits + by * line + static_cast<qsizetype>(bx) * 4;
                    for (int x = tx; x < xEnd; ++x)
                        std::memcpy(out + x, base + columnOffset[static_cast<std::size_t>(x)], 4);
                    continue;
                }
                for (int x = tx; x < xEnd; ++x) {
                    const int sx = bx + columnX[static_cast<std::size_t>(x)], sy = by + columnY[static_cast<std::size_t>(x)];
                    out[x] = inside(sx, sy) ? pixelAt(sx, sy) : kMapBackground;
                }
            }
        }
}

}  // namespace vexa
