#include "maps/render/window_turn.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

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

// The screen columns [first, last) whose base + table[x] lies in [lo, hi); the table runs
// monotonically, so they are one run.
std::pair<int, int> columnsWithin(const std::vector<int>& table, int base, int lo, int hi) {
    const auto b = table.begin(), e = table.end();
    const auto at = [b](auto it) { return static_cast<int>(it - b); };
    if (table.front() <= table.back())
        return {at(std::partition_point(b, e, [&](int v) { return base + v < lo; })),
                at(std::partition_point(b, e, [&](int v) { return base + v < hi; }))};
    return {at(std::partition_point(b, e, [&](int v) { return base + v >= hi; })),
            at(std::partition_point(b, e, [&](int v) { return base + v >= lo; }))};
}

}  // namespace

WindowTurn::WindowTurn(QSize screen, int frameSide, double angle)
    : width_(screen.width()), height_(screen.height()), side_(frameSide) {
    rotationFactors(angle, c_, s_);
    const int middle = side_ / 2;
    const int left = (side_ - width_) / 2;
    columnX_.resize(static_cast<std::size_t>(width_));
    columnY_.resize(static_cast<std::size_t>(width_));
    for (int x = 0; x < width_; ++x) {
        const double dx = x + left - middle;
        columnX_[static_cast<std::size_t>(x)] = static_cast<int>(dx * c_);
        columnY_[static_cast<std::size_t>(x)] = static_cast<int>(dx * s_);
    }
    // The inverse turn, frame pixel middles onto screen pixel middles.
    const double m = middle + 0.5;
    const QTransform turn(c_, -s_, s_, c_, 0, 0);
    const QPointF turnedMiddle = turn.map(QPointF(m, m));
    transform_ = turn * QTransform::fromTranslate(m - left - turnedMiddle.x(), m - (side_ - height_) / 2 - turnedMiddle.y());
}

// Each screen row is worked out as the run of columns whose frame pixel lies in `frameArea`
// (the sources move monotonically along a row), so the inner loop reads without checks. The
// window goes in tiles, so that the source pixels one tile reads, a turned square, stay in the
// cache.
template <typename Pixel>
void WindowTurn::resample(QImage& screen, QRect frameArea, Pixel pixel) const {
    frameArea &= QRect(0, 0, side_, side_);
    if (frameArea.isEmpty() || width_ == 0) return;
    const int middle = side_ / 2;
    const int top = (side_ - height_) / 2;
    uchar* shown = screen.bits();
    const qsizetype shownLine = screen.bytesPerLine();
    constexpr int kTile = 32;
    struct Row {
        int bx, by, first, last;
    };
    Row rows[kTile];
    // Only the screen rows the area's turned corners span, with a row to spare for the rounding.
    const QRectF onScreen = transform_.mapRect(QRectF(frameArea));
    const int firstRow = std::max(0, static_cast<int>(onScreen.top()) - 2);
    const int endRow = std::min(height_, static_cast<int>(onScreen.bottom()) + 3);
    for (int ty = firstRow; ty < endRow; ty += kTile) {
        const int band = std::min(kTile, endRow - ty);
        int first = width_, last = 0;
        for (int i = 0; i < band; ++i) {
            const double dy = ty + i + top - middle;
            Row& row = rows[i];
            row.bx = static_cast<int>(middle - dy * s_);
            row.by = static_cast<int>(dy * c_ + middle);
            const auto [x0, x1] = columnsWithin(columnX_, row.bx, frameArea.left(), frameArea.right() + 1);
            const auto [y0, y1] = columnsWithin(columnY_, row.by, frameArea.top(), frameArea.bottom() + 1);
            row.first = std::max(x0, y0);
            row.last = std::min(x1, y1);
            if (row.first < row.last) {
                first = std::min(first, row.first);
                last = std::max(last, row.last);
            }
        }
        for (int tx = first; tx < last; tx += kTile)
            for (int i = 0; i < band; ++i) {
                const Row& row = rows[i];
                const int xEnd = std::min({tx + kTile, row.last});
                QRgb* out = reinterpret_cast<QRgb*>(shown + (ty + i) * shownLine);
                const auto at = pixel(row.bx, row.by);
                for (int x = std::max(tx, row.first); x < xEnd; ++x) out[x] = at(x);
            }
    }
}

namespace {

// The turned reads jump across the source rows, which the hardware does not foresee: the pixel
// this many columns ahead, the next tile's, is asked for early.
constexpr int kReadAhead = 32;

// Calls `then` with the reader of one pixel of `image` (32-bit, or 8-bit through its colour
// table) and the pixel's size in bytes.
template <typename Then>
void withPixelReader(const QImage& image, Then then) {
    if (image.format() == QImage::Format_Indexed8) {
        QList<QRgb> colours = image.colorTable();
        colours.resize(256, qRgb(0, 0, 0));
        const QRgb* table = colours.constData();
        then([table](const uchar* p) { return table[*p]; }, 1);
        return;
    }
    then(
        [](const uchar* p) {
            QRgb pixel;
            std::memcpy(&pixel, p, 4);
            return pixel;
        },
        4);
}

}  // namespace

void WindowTurn::draw(QImage& screen, const QImage& image, QPoint offset, QRect frameArea) const {
    const uchar* bits = image.constBits();
    const qsizetype line = image.bytesPerLine();
    const QRect onImage = frameArea & image.rect().translated(-offset);
    withPixelReader(image, [&](auto read, int bytes) {
        // Padded for the read ahead with the last column's offset.
        std::vector<qsizetype> columnOffset(static_cast<std::size_t>(width_ + kReadAhead));
        for (std::size_t x = 0; x < columnOffset.size(); ++x) {
            const std::size_t c = std::min(x, static_cast<std::size_t>(width_ - 1));
            columnOffset[x] = columnY_[c] * line + static_cast<qsizetype>(columnX_[c]) * bytes;
        }
        resample(screen, onImage, [&](int bx, int by) {
            const uchar* base = bits + (by + offset.y()) * line + static_cast<qsizetype>(bx + offset.x()) * bytes;
            const qsizetype* offsets = columnOffset.data();
            return [base, offsets, read](int x) {
                __builtin_prefetch(base + offsets[x + kReadAhead]);
                return read(base + offsets[x]);
            };
        });
    });
}

void WindowTurn::draw(QImage& screen, const QImage& image, const std::vector<int>& columns,
                      const std::vector<int>& rows) const {
    const auto firstAndLast = [](const std::vector<int>& table) {
        const auto valid = [](int v) { return v >= 0; };
        const auto first = std::find_if(table.begin(), table.end(), valid);
        const auto last = std::find_if(table.rbegin(), table.rend(), valid).base();
        return std::pair(static_cast<int>(first - table.begin()), static_cast<int>(last - table.begin()));
    };
    const auto [left, right] = firstAndLast(columns);
    const auto [top, bottom] = firstAndLast(rows);
    if (left >= right || top >= bottom) return;
    const uchar* bits = image.constBits();
    const qsizetype line = image.bytesPerLine();
    withPixelReader(image, [&](auto read, int bytes) {
        std::vector<qsizetype> columnOffset(columns.size()), rowOffset(rows.size());
        for (std::size_t x = 0; x < columns.size(); ++x) columnOffset[x] = static_cast<qsizetype>(columns[x]) * bytes;
        for (std::size_t y = 0; y < rows.size(); ++y) rowOffset[y] = rows[y] * line;
        resample(screen, QRect(left, top, right - left, bottom - top), [&](int bx, int by) {
            const int* columnX = columnX_.data();
            const int* columnY = columnY_.data();
            const qsizetype* frameColumn = columnOffset.data() + bx;
            const qsizetype* frameRow = rowOffset.data() + by;
            return [=](int x) { return read(bits + frameRow[columnY[x]] + frameColumn[columnX[x]]); };
        });
    });
}

void turnWindow(const QImage& frame, double angle, QImage& screen) {
    if (frame.format() != QImage::Format_RGB32 && frame.format() != QImage::Format_ARGB32) {
        turnWindow(frame.convertToFormat(QImage::Format_RGB32), angle, screen);
        return;
    }
    screen.fill(kMapBackground);
    WindowTurn(screen.size(), frame.width(), angle).draw(screen, frame, QPoint(0, 0), frame.rect());
}

}  // namespace vexa
