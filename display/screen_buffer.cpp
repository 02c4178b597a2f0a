#include "display/screen_buffer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "util/diagnostic_text.h"

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
    return 1;
}

void CSTScreenBuffer::Resize(int width, int height) {
    if (width == width_ && height == height_ && !source_.empty()) return;
    source_.clear();
    display_.clear();
    Create(width, height);
}

void CSTScreenBuffer::copyMiddle(QImage& screen) const {
    if (display_.empty()) return;
    const int W = std::min(screen.width(), rowWidth_), H = std::min(screen.height(), height_);
    const int left = (rowWidth_ - W) / 2, top = (height_ - H) / 2;
    for (int r = 0; r < H; ++r) {
        QRgb* out = reinterpret_cast<QRgb*>(screen.scanLine(r));
        const std::uint8_t* in = display_.data() + offset(left, r + top);
        for (int c = 0; c < W; ++c, in += 3) out[c] = qRgb(in[2], in[1], in[0]);
    }
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
