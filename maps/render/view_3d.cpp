#include "maps/render/view_3d.h"

#include <algorithm>

#include "maps/render/map_frame_context.h"

namespace vexa {

namespace {

constexpr int kReferenceRows = 400;  // the perspective's row constants are for a 400-row frame

// The frame column the running column j of a 3D row with factor f reads.
int sourceColumnOf(int j, int wc, float f) { return wc + static_cast<int>(static_cast<float>(j - wc) * f); }

// One 3D row: the source column of j is monotonic in j, so the columns that sample inside the frame form one span; everything outside it is background.
// Working by spans keeps the bounds checks out of the per-pixel loop. `row` is the frame row
// (null: off the frame), its pixel 0 frame column `rowLeft`.
void resampleRow(const QRgb* row, int rowLeft, int w, int wc, float f, int first, int last, QRgb* out,
                 std::ptrdiff_t step) {
    const auto inside = [&](int j) { return static_cast<unsigned>(sourceColumnOf(j, wc, f)) < static_cast<unsigned>(w); };
    int from = first, to = first;
    if (row) {
        while (from < last && !inside(from)) ++from;
        to = last;
        while (to > from && !inside(to - 1)) --to;
    }
    for (int j = first; j < from; ++j, out += step) *out = kMapBackground;
    // j − wc counts in a float: whole numbers below 2^24 stay exact, so this is the column above.
    float dj = static_cast<float>(from - wc);
    const int base = wc - rowLeft;
    for (int j = from; j < to; ++j, out += step, dj += 1.0f) *out = row[base + static_cast<int>(dj * f)];
    for (int j = to; j < last; ++j, out += step) *out = kMapBackground;
}

}  // namespace

View3D::View3D(int moveDisplayMode, int P, bool fullScreen, int frameSide)
    : mode_(moveDisplayMode),
      side_(frameSide),
      wc_(static_cast<int>(frameSide * 0.5 + 0.5)),
      hc_(static_cast<int>(frameSide * 0.5 + 0.5)),
      rows_(static_cast<std::size_t>(frameSide)),
      factors_(static_cast<std::size_t>(frameSide)) {
    const int h = side_;
    const float D = 4.0f * static_cast<float>(P);
    const float E = 5.0f * static_cast<float>(P);
    int rowOffset = fullScreen ? 480 : 500;
    float near = D;
    if (mode_ == 4) rowOffset = 180, near = E;
    if (mode_ == 7) rowOffset = fullScreen ? 125 : 110, near = E;
    // Rows counted as in a 400-row frame centred in this one.
    const int shift = std::max(0, (h - kReferenceRows) / 2);
    rowOffset += shift;
    for (int i = 0; i < h; ++i) {
        const int r = h - i;
        const float depth = D - static_cast<float>(r - shift);
        // Rows at or beyond the horizon of a large frame show the sky.
        const float t = depth > 0.0f ? near - D * D / depth : 0.0f;
        const bool onSource = depth > 0.0f && t > static_cast<float>(-rowOffset - 2) &&
                              t < static_cast<float>(h - rowOffset + 2);
        const int sy = onSource ? static_cast<int>(t) + rowOffset : -1;
        rows_[static_cast<std::size_t>(i)] = sy >= 0 && sy < h ? sy : -1;
        factors_[static_cast<std::size_t>(i)] = (near - static_cast<float>(i - shift)) / D;
    }
}

// The 3D rows that land in `window`, each with the running columns that do.
template <typename Visit>
void View3D::forEachSpan(QRect window, Visit visit) const {
    const int w = side_, h = side_;
    const QPoint corner = window.topLeft();
    switch (mode_) {
        case 4: {  // column wc − hc + 20 + i, row wc + hc − j
            const int columnOf0 = wc_ - hc_ + 20, rowOf0 = wc_ + hc_;
            const int first = std::max({0, rowOf0 - h + 1, rowOf0 - window.bottom()});
            const int last = std::min({w, rowOf0 + 1, rowOf0 - window.top() + 1});
            const int left = std::max({0, window.left(), columnOf0});
            const int right = std::min({w - 1, window.right(), columnOf0 + h - 1});
            for (int c = left; c <= right && first < last; ++c)
                visit(Span{c - columnOf0, first, last, QPoint(c, rowOf0 - first) - corner, QPoint(0, -1)});
            return;
        }
        case 7: {  // column w − j of row h − i
            const int first = std::max(1, w - window.right()), last = std::min(w, w - window.left() + 1);
            const int top = std::max(1, window.top()), bottom = std::min(h - 1, window.bottom());
            for (int r = top; r <= bottom && first < last; ++r)
                visit(Span{h - r, first, last, QPoint(w - first, r) - corner, QPoint(-1, 0)});
            return;
        }
        default: {  // column j of row i
            const int first = std::max(0, window.left()), last = std::min(w, window.right() + 1);
            const int top = std::max(0, window.top()), bottom = std::min(h - 1, window.bottom());
            for (int i = top; i <= bottom && first < last; ++i)
                visit(Span{i, first, last, QPoint(first, i) - corner, QPoint(1, 0)});
            return;
        }
    }
}

QRect View3D::sourceArea(QRect window) const {
    QRect area;
    forEachSpan(window, [&](const Span& span) {
        const int sy = rows_[static_cast<std::size_t>(span.i)];
        if (sy < 0) return;
        const float f = factors_[static_cast<std::size_t>(span.i)];
        const int a = sourceColumnOf(span.first, wc_, f), b = sourceColumnOf(span.last - 1, wc_, f);
        const int left = std::max(std::min(a, b), 0), right = std::min(std::max(a, b), side_ - 1);
        if (left <= right) area |= QRect(left, sy, right - left + 1, 1);
    });
    return area;
}

void View3D::draw(const QImage& band, QPoint origin, QRect window, QImage& picture) const {
    if (band.format() != QImage::Format_RGB32 && band.format() != QImage::Format_ARGB32) {
        draw(band.convertToFormat(QImage::Format_RGB32), origin, window, picture);
        return;
    }
    long long covered = 0;
    forEachSpan(window, [&](const Span& span) { covered += span.last - span.first; });
    if (covered < static_cast<long long>(window.width()) * window.height()) picture.fill(kMapBackground);
    QRgb* pixels = reinterpret_cast<QRgb*>(picture.bits());
    const std::ptrdiff_t line = picture.bytesPerLine() / static_cast<std::ptrdiff_t>(sizeof(QRgb));
    forEachSpan(window, [&](const Span& span) {
        // A row the band lacks is read nowhere: its columns all lie off the frame.
        const int y = rows_[static_cast<std::size_t>(span.i)] - origin.y();
        const bool read = rows_[static_cast<std::size_t>(span.i)] >= 0 && y >= 0 && y < band.height();
        const QRgb* row = read ? reinterpret_cast<const QRgb*>(band.constScanLine(y)) : nullptr;
        resampleRow(row, origin.x(), side_, wc_, factors_[static_cast<std::size_t>(span.i)], span.first, span.last,
                    pixels + span.start.y() * line + span.start.x(), span.step.x() + span.step.y() * line);
    });
}

}  // namespace vexa
