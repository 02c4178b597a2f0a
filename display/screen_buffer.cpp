#include "display/screen_buffer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <QPainter>

#include "util/diagnostic_text.h"
#include "maps/render/frame_interfaces.h"

namespace vexa {

namespace {

void putBackground(std::uint8_t* pixel) { std::memcpy(pixel, kScreenBackgroundBgr, 3); }

void put16(std::uint8_t*& out, std::uint16_t v) {
    *out++ = static_cast<std::uint8_t>(v);
    *out++ = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t*& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) *out++ = static_cast<std::uint8_t>(v >> (8 * i));
}

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

constexpr int kReferenceRows = 400;  // the 3D view's row constants are for a 400-row buffer

}  // namespace

int CSTScreenBuffer::Create(int width, int height) {
    if (!source_.empty() && !display_.empty()) return 1;
    width_ = width;
    height_ = height;
    rowWidth_ = (width + 3) / 4 * 4;
    const std::size_t bytes = static_cast<std::size_t>(rowWidth_) * height_ * 3;
    source_.assign(bytes, 0);
    display_.assign(bytes, 0);
    shown_ = QImage(rowWidth_, height_, QImage::Format_BGR888);
    columnX_.assign(static_cast<std::size_t>(rowWidth_), 0);
    columnY_.assign(static_cast<std::size_t>(rowWidth_), 0);
    columnOffset_.assign(static_cast<std::size_t>(rowWidth_), 0);
    return 1;
}

void CSTScreenBuffer::Resize(int width, int height) {
    if (width == width_ && height == height_ && !source_.empty()) return;
    source_.clear();
    display_.clear();
    Create(width, height);
}

void CSTScreenBuffer::Draw(FramePresenter& presenter, FrameOverlays& overlays, bool moveView, int y0,
                           int x0) {
    if (display_.empty()) return;
    // A row of rowWidth·3 bytes is a multiple of 4, so the rows map one to one onto the image.
    // Only the part shown is copied.
    const std::size_t rowBytes = static_cast<std::size_t>(rowWidth_) * 3;
    const int left = std::clamp(x0, 0, rowWidth_ / 2);
    const std::size_t shownBytes = rowBytes - static_cast<std::size_t>(left) * 6;
    for (int r = std::max(0, y0); r < std::min(height_, height_ - y0); ++r)
        std::memcpy(shown_.scanLine(r) + left * 3, display_.data() + offset(left, r), shownBytes);
    if (moveView) {
        QPainter painter(&shown_);
        overlays.drawInfoPanel(painter);
    }
    presenter.present(shown_, QRect(x0, y0, rowWidth_ - 2 * x0, height_ - 2 * y0));
}

void CSTScreenBuffer::CopyScreen(const QImage& image) {
    if (source_.empty()) return;
    const QImage rgb = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    const int w = std::min(rowWidth_, rgb.width());
    const int h = std::min(height_, rgb.height());
    for (int r = 0; r < h; ++r) {
        const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(r));
        std::uint8_t* out = source_.data() + offset(0, r);
        for (int c = 0; c < w; ++c) {
            *out++ = static_cast<std::uint8_t>(qBlue(in[c]));
            *out++ = static_cast<std::uint8_t>(qGreen(in[c]));
            *out++ = static_cast<std::uint8_t>(qRed(in[c]));
        }
    }
}

namespace {

// The source of a rotation: the 24-bit source buffer (rows bottom-up) or the composed 32-bit
// frame itself (rows top-down). The byte offset of pixel (sx, sy) is linear in both, so a
// row's offsets are a row base plus per-column terms.
struct BgrRows {
    const std::uint8_t* pixels;
    int width, height;
    static constexpr bool kFourByteStore = false;  // the last pixel has no fourth byte to read
    qsizetype offsetOf(int sx, int sy) const { return (sx + static_cast<qsizetype>(height - 1 - sy) * width) * 3; }
    void copy(qsizetype at, std::uint8_t* out) const { std::memcpy(out, pixels + at, 3); }
};

struct RgbImage {
    const uchar* bits;
    qsizetype bytesPerLine;
    static constexpr bool kFourByteStore = true;  // blue, green, red in memory order, then alpha
    qsizetype offsetOf(int sx, int sy) const { return sy * bytesPerLine + static_cast<qsizetype>(sx) * 4; }
    void copy(qsizetype at, std::uint8_t* out) const {
        const QRgb p = *reinterpret_cast<const QRgb*>(bits + at);
        out[0] = static_cast<std::uint8_t>(qBlue(p));
        out[1] = static_cast<std::uint8_t>(qGreen(p));
        out[2] = static_cast<std::uint8_t>(qRed(p));
    }
};

}  // namespace

// Rows whose first and last pixel have a source have one for every pixel between them (the
// source moves monotonically along a row): those take the fast path, which reads each pixel by
// a precomputed offset (and, from the 32-bit frame, writes it as one 4-byte store whose fourth
// byte the next pixel overwrites). Other rows check each pixel. The window goes in tiles, so
// that the source pixels one tile reads, a turned square, stay in the cache.
template <typename Source>
void CSTScreenBuffer::rotate(const Source& source, int w, int h, double angle, int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, rowWidth_);
    y1 = std::min(y1, height_);
    if (y0 >= y1 || x0 >= x1 || display_.empty()) return;
    const int cx = rowWidth_ / 2, cy = height_ / 2;  // the buffer's middle; w × h bound the source
    double c, s;
    rotationFactors(angle, c, s);
    // The column terms trunc(dx·c) and trunc(dx·s) are the same on every row: computed once.
    const qsizetype origin = source.offsetOf(0, 0);
    for (int x = x0; x < x1; ++x) {
        const double dx = x - cx;
        const std::size_t i = static_cast<std::size_t>(x - x0);
        columnX_[i] = static_cast<int>(dx * c);
        columnY_[i] = static_cast<int>(dx * s);
        columnOffset_[i] = source.offsetOf(columnX_[i], columnY_[i]) - origin;
    }
    // Local pointers: the stores into the display buffer could alias the vectors' own fields.
    const int* columnX = columnX_.data();
    const int* columnY = columnY_.data();
    const qsizetype* columnOffset = columnOffset_.data();
    std::uint8_t* display = display_.data();
    const int last = x1 - x0 - 1;
    const auto inside = [w, h](int sx, int sy) {
        return static_cast<unsigned>(sx) < static_cast<unsigned>(w) && static_cast<unsigned>(sy) < static_cast<unsigned>(h);
    };
    constexpr int kTile = 32;
    for (int ty = y0; ty < y1; ty += kTile)
        for (int tx = x0; tx < x1; tx += kTile) {
            const int yEnd = std::min(ty + kTile, y1), xEnd = std::min(tx + kTile, x1);
            for (int y = ty; y < yEnd; ++y) {
                const double dy = y - cy;
                const int bx = static_cast<int>(cx - dy * s);
                const int by = static_cast<int>(dy * c + cy);
                std::uint8_t* out = display + offset(tx, y);
                if (inside(bx + columnX[0], by + columnY[0]) && inside(bx + columnX[last], by + columnY[last])) {
                    const qsizetype base = source.offsetOf(bx, by);
                    int x = tx;
                    if constexpr (Source::kFourByteStore)
                        for (; x < xEnd - 1; ++x, out += 3) std::memcpy(out, source.bits + (base + columnOffset[x - x0]), 4);
                    for (; x < xEnd; ++x, out += 3) source.copy(base + columnOffset[x - x0], out);
                    continue;
                }
                for (int x = tx; x < xEnd; ++x, out += 3) {
                    const int sx = bx + columnX[x - x0], sy = by + columnY[x - x0];
                    if (inside(sx, sy))
                        source.copy(source.offsetOf(sx, sy), out);
                    else
                        putBackground(out);
                }
            }
        }
}

void CSTScreenBuffer::sbrotate(double angle, int x0, int y0, int x1, int y1) {
    if (source_.empty()) return;
    rotate(BgrRows{source_.data(), rowWidth_, height_}, rowWidth_, height_, angle, x0, y0, x1, y1);
}

void CSTScreenBuffer::sbrotate(const QImage& source, double angle, int x0, int y0, int x1, int y1) {
    if (source.format() != QImage::Format_RGB32 && source.format() != QImage::Format_ARGB32) {
        sbrotate(source.convertToFormat(QImage::Format_RGB32), angle, x0, y0, x1, y1);
        return;
    }
    // Pixels beyond the image but inside the buffer count as outside, as they would when copied.
    rotate(RgbImage{source.constBits(), source.bytesPerLine()}, std::min(rowWidth_, source.width()),
           std::min(height_, source.height()), angle, x0, y0, x1, y1);
}

namespace {

// Where one 3D row goes: the running columns j in [first, last) land inside the buffer, the
// first of them at `start` and each next one `step` bytes further.
struct RowTarget {
    std::uint8_t* start;
    std::ptrdiff_t step;
    int first;
    int last;
};

// One 3D row: the source column of j is wc + trunc((j − wc)·f). It is monotonic in j, so the
// columns that sample inside the row form one span; everything outside it is background. Working
// by spans keeps the bounds checks out of the per-pixel loop.
void resampleRow(const std::uint8_t* sourceRow, int w, int wc, float f, const RowTarget& target) {
    const auto sourceColumn = [wc, f](int j) { return wc + static_cast<int>(static_cast<float>(j - wc) * f); };
    const auto inside = [&](int j) { return static_cast<unsigned>(sourceColumn(j)) < static_cast<unsigned>(w); };
    int first = target.first, last = target.first;
    if (sourceRow) {
        while (first < target.last && !inside(first)) ++first;
        last = target.last;
        while (last > first && !inside(last - 1)) --last;
    }
    std::uint8_t* out = target.start;
    for (int j = target.first; j < first; ++j, out += target.step) putBackground(out);
    // j − wc counts in a float: whole numbers below 2^24 stay exact, so this equals sourceColumn(j).
    float dj = static_cast<float>(first - wc);
    for (int j = first; j < last; ++j, out += target.step, dj += 1.0f) {
        const std::uint8_t* in = sourceRow + static_cast<std::ptrdiff_t>(wc + static_cast<int>(dj * f)) * 3;
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
    }
    for (int j = last; j < target.last; ++j, out += target.step) putBackground(out);
}

}  // namespace

void CSTScreenBuffer::sb3D(Sb3DVariant variant, int P, bool fullScreen) {
    if (display_.empty()) return;
    const int w = rowWidth_, h = height_;
    const float D = 4.0f * static_cast<float>(P);
    const float E = 5.0f * static_cast<float>(P);
    const int wc = static_cast<int>(w * 0.5 + 0.5);
    const int hc = static_cast<int>(h * 0.5 + 0.5);
    int rowOffset = fullScreen ? 480 : 500;
    float near = D;
    if (variant == Sb3DVariant::Landscape) rowOffset = 180, near = E;
    if (variant == Sb3DVariant::UpsideDown) rowOffset = fullScreen ? 125 : 110, near = E;

    // Rows counted as in a 400-row buffer centred in this one.
    const int shift = std::max(0, (h - kReferenceRows) / 2);
    rowOffset += shift;

    std::uint8_t* display = display_.data();
    const std::ptrdiff_t pixel = 3, line = static_cast<std::ptrdiff_t>(w) * 3;
    for (int i = 0; i < h; ++i) {
        const int r = h - i;
        const float depth = D - static_cast<float>(r - shift);
        // Rows at or beyond the horizon of a large buffer show the sky.
        const float t = depth > 0.0f ? near - D * D / depth : 0.0f;
        const bool onSource = depth > 0.0f && t > static_cast<float>(-rowOffset - 2) &&
                              t < static_cast<float>(h - rowOffset + 2);
        const int sy = onSource ? static_cast<int>(t) + rowOffset : -1;
        const float f = (near - static_cast<float>(i - shift)) / D;
        const std::uint8_t* sourceRow = (sy >= 0 && sy < h) ? source_.data() + offset(0, sy) : nullptr;
        RowTarget target{};
        switch (variant) {
            case Sb3DVariant::Normal:  // column j of row i
                target = {display + offset(0, i), pixel, 0, w};
                break;
            case Sb3DVariant::Landscape: {  // column wc − hc + 20 + i, row wc + hc − j
                const int column = wc - hc + 20 + i;
                if (column < 0 || column >= w) continue;
                // Rows are stored bottom-up, so a falling row number steps one line forward.
                const int first = std::max(0, wc + hc - h + 1);
                target = {display + offset(column, wc + hc - first), line, first, std::min(w, wc + hc + 1)};
                break;
            }
            case Sb3DVariant::UpsideDown:  // column w − j of row r
                if (r >= h) continue;
                target = {display + offset(w - 1, r), -pixel, 1, w};
                break;
        }
        resampleRow(sourceRow, w, wc, f, target);
    }
}

int CSTScreenBuffer::save(const std::string& path, int which, DiagnosticText& log) const {
    const std::vector<std::uint8_t>& pixels = which != 0 ? source_ : display_;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        ReportSystemError(log, 462, errno, "CSTScreenBuffer::save fopen");
        return -1;
    }
    const std::uint32_t imageSize = static_cast<std::uint32_t>(rowWidth_) * height_ * 3;
    std::uint8_t header[54];
    std::uint8_t* out = header;
    *out++ = 'B';
    *out++ = 'M';
    put32(out, imageSize + 54);
    put16(out, 0);
    put16(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(rowWidth_));
    put32(out, static_cast<std::uint32_t>(height_));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, imageSize);
    put32(out, 3780);
    put32(out, 3780);
    put32(out, 0);
    put32(out, 0);
    const bool written = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
                         std::fwrite(pixels.data(), 1, pixels.size(), file) == pixels.size();
    return (std::fclose(file) == 0 && written) ? 0 : -1;
}

}  // namespace vexa
