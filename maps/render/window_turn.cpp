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

// The first index of [0, n) for which `before` is false, `before` being true on a prefix only;
// searched outwards from `hint`, so that an answer near the hint costs a few probes.
template <typename Before>
int partitionNear(int n, int hint, Before before) {
    int lo, hi;  // the answer lies in [lo, hi]
    if (hint < n && before(hint)) {
        int known = hint, step = 1;
        while (known + step < n && before(known + step)) {
            known += step;
            step *= 2;
        }
        lo = known + 1;
        hi = std::min(known + step, n);
    } else {
        int known = hint, step = 1;
        while (known - step >= 0 && !before(known - step)) {
            known -= step;
            step *= 2;
        }
        lo = std::max(known - step + 1, 0);
        hi = known;
    }
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (before(mid)) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

// The screen columns [first, last) whose base + table[x] lies in [lo, hi); the table runs
// monotonically, so they are one run. `hint` holds the last row's answer and gets this one.
std::pair<int, int> columnsWithin(const std::vector<int>& table, int base, int lo, int hi, std::pair<int, int>& hint) {
    const int n = static_cast<int>(table.size());
    const int* v = table.data();
    if (table.front() <= table.back())
        hint = {partitionNear(n, hint.first, [&](int x) { return base + v[x] < lo; }),
                partitionNear(n, hint.second, [&](int x) { return base + v[x] < hi; })};
    else
        hint = {partitionNear(n, hint.first, [&](int x) { return base + v[x] >= hi; }),
                partitionNear(n, hint.second, [&](int x) { return base + v[x] >= lo; })};
    return hint;
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
// cache; while one tile is drawn, the frame pixels of the next are asked for (the turned reads
// jump across the source rows, which the hardware does not foresee).
template <typename Pixels, typename ReadAhead>
void WindowTurn::resample(QImage& screen, QRect frameArea, Pixels pixels, ReadAhead readAhead) {
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
    std::pair<int, int> hintX{0, 0}, hintY{0, 0};
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
            const auto [x0, x1] = columnsWithin(columnX_, row.bx, frameArea.left(), frameArea.right() + 1, hintX);
            const auto [y0, y1] = columnsWithin(columnY_, row.by, frameArea.top(), frameArea.bottom() + 1, hintY);
            row.first = std::max(x0, y0);
            row.last = std::min(x1, y1);
            if (row.first < row.last) {
                first = std::min(first, row.first);
                last = std::max(last, row.last);
                drawn_.push_back({ty + i, row.first, row.last});
            }
        }
        // The frame pixels of a tile lie in the box of its corners' (each coordinate is the sum
        // of a monotonic function of the row and one of the column).
        const auto tileBox = [&](int tx) {
            const int left = tx, right = std::min(tx + kTile, last) - 1;
            const Row& a = rows[0];
            const Row& b = rows[band - 1];
            const auto [x0, x1] = std::minmax({a.bx + columnX_[left], a.bx + columnX_[right], b.bx + columnX_[left], b.bx + columnX_[right]});
            const auto [y0, y1] = std::minmax({a.by + columnY_[left], a.by + columnY_[right], b.by + columnY_[left], b.by + columnY_[right]});
            return QRect(QPoint(x0, y0), QPoint(x1, y1)) & frameArea;
        };
        if (first < last) readAhead(tileBox(first));
        for (int tx = first; tx < last; tx += kTile) {
            if (tx + kTile < last) readAhead(tileBox(tx + kTile));
            for (int i = 0; i < band; ++i) {
                const Row& row = rows[i];
                const int xBegin = std::max(tx, row.first), xEnd = std::min(tx + kTile, row.last);
                if (xBegin < xEnd)
                    pixels(row.bx, row.by, reinterpret_cast<QRgb*>(shown + (ty + i) * shownLine), xBegin, xEnd);
            }
        }
    }
}

namespace {

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

// Asks for the cache lines of `box` of the image early.
void readAhead(const QImage& image, int bytes, QRect box) {
    const uchar* bits = image.constBits();
    const qsizetype line = image.bytesPerLine();
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const uchar* from = bits + y * line + static_cast<qsizetype>(box.left()) * bytes;
        const uchar* to = bits + y * line + static_cast<qsizetype>(box.right()) * bytes;
        for (const uchar* p = from; p < to; p += 64) __builtin_prefetch(p);
        __builtin_prefetch(to);
    }
}

}  // namespace

void WindowTurn::draw(QImage& screen, const QImage& image, QPoint offset, QRect frameArea) {
    const uchar* bits = image.constBits();
    const qsizetype line = image.bytesPerLine();
    const QRect onImage = frameArea & image.rect().translated(-offset);
    withPixelReader(image, [&](auto read, int bytes) {
        std::vector<qsizetype> columnOffset(static_cast<std::size_t>(width_));
        for (std::size_t x = 0; x < columnOffset.size(); ++x)
            columnOffset[x] = columnY_[x] * line + static_cast<qsizetype>(columnX_[x]) * bytes;
        const qsizetype* offsets = columnOffset.data();
        resample(
            screen, onImage,
            [&](int bx, int by, QRgb* __restrict out, int xBegin, int xEnd) {
                const uchar* base = bits + (by + offset.y()) * line + static_cast<qsizetype>(bx + offset.x()) * bytes;
                int x = xBegin;
                for (; x + 4 <= xEnd; x += 4) {
                    const QRgb p0 = read(base + offsets[x]), p1 = read(base + offsets[x + 1]);
                    const QRgb p2 = read(base + offsets[x + 2]), p3 = read(base + offsets[x + 3]);
                    out[x] = p0;
                    out[x + 1] = p1;
                    out[x + 2] = p2;
                    out[x + 3] = p3;
                }
                for (; x < xEnd; ++x) out[x] = read(base + offsets[x]);
            },
            [&](QRect box) { readAhead(image, bytes, box.translated(offset)); });
    });
}

void WindowTurn::draw(QImage& screen, const QImage& image, const std::vector<int>& columns,
                      const std::vector<int>& rows) {
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
        const int* columnX = columnX_.data();
        const int* columnY = columnY_.data();
        resample(
            screen, QRect(left, top, right - left, bottom - top),
            [&](int bx, int by, QRgb* __restrict out, int xBegin, int xEnd) {
                const qsizetype* frameColumn = columnOffset.data() + bx;
                const qsizetype* frameRow = rowOffset.data() + by;
                for (int x = xBegin; x < xEnd; ++x) out[x] = read(bits + frameRow[columnY[x]] + frameColumn[columnX[x]]);
            },
            [&](QRect box) {
                const auto [x0, x1] = std::minmax(columns[static_cast<std::size_t>(box.left())], columns[static_cast<std::size_t>(box.right())]);
                const auto [y0, y1] = std::minmax(rows[static_cast<std::size_t>(box.top())], rows[static_cast<std::size_t>(box.bottom())]);
                readAhead(image, bytes, QRect(QPoint(x0, y0), QPoint(x1, y1)));
            });
    });
}

void WindowTurn::fillAround(QImage& screen, QRgb colour) {
    if (filled_) return;
    filled_ = true;
    // The runs sorted by row (counting), then each row's gaps filled.
    std::vector<int> start(static_cast<std::size_t>(height_) + 1, 0);
    for (const Run& run : drawn_) ++start[static_cast<std::size_t>(run.row) + 1];
    for (std::size_t y = 1; y < start.size(); ++y) start[y] += start[y - 1];
    std::vector<std::pair<int, int>> byRow(drawn_.size());
    std::vector<int> next(start.begin(), start.end() - 1);
    for (const Run& run : drawn_) byRow[static_cast<std::size_t>(next[static_cast<std::size_t>(run.row)]++)] = {run.first, run.last};
    for (int y = 0; y < height_; ++y) {
        const auto from = byRow.begin() + start[static_cast<std::size_t>(y)];
        const auto to = byRow.begin() + start[static_cast<std::size_t>(y) + 1];
        std::sort(from, to);
        QRgb* out = reinterpret_cast<QRgb*>(screen.scanLine(y));
        int x = 0;
        for (auto run = from; run != to; ++run) {
            if (run->first > x) std::fill(out + x, out + run->first, colour);
            x = std::max(x, run->second);
        }
        std::fill(out + x, out + width_, colour);
    }
}

void turnWindow(const QImage& frame, double angle, QImage& screen) {
    if (frame.format() != QImage::Format_RGB32 && frame.format() != QImage::Format_ARGB32) {
        turnWindow(frame.convertToFormat(QImage::Format_RGB32), angle, screen);
        return;
    }
    WindowTurn turn(screen.size(), frame.width(), angle);
    turn.draw(screen, frame, QPoint(0, 0), frame.rect());
    turn.fillAround(screen, kMapBackground);
}

}  // namespace vexa
