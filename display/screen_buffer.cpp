#include "display/screen_buffer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "util/diagnostic_text.h"

namespace vexa {

namespace {

void put16(std::uint8_t*& out, std::uint16_t v) {
    *out++ = static_cast<std::uint8_t>(v);
    *out++ = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t*& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) *out++ = static_cast<std::uint8_t>(v >> (8 * i));
}

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

void CSTScreenBuffer::Release() {
    source_ = {};
    display_ = {};
    width_ = height_ = rowWidth_ = 0;
}

void CSTScreenBuffer::CopyScreen(const QImage& image) { copyInto(source_, image); }

void CSTScreenBuffer::CopyView(const QImage& view) { copyInto(display_, view); }

void CSTScreenBuffer::copyInto(std::vector<std::uint8_t>& plane, const QImage& image) {
    if (plane.empty()) return;
    const QImage rgb = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    const int w = std::min(rowWidth_, rgb.width());
    const int h = std::min(height_, rgb.height());
    for (int r = 0; r < h; ++r) {
        const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(r));
        std::uint8_t* out = plane.data() + offset(0, r);
        for (int c = 0; c < w; ++c) {
            *out++ = static_cast<std::uint8_t>(qBlue(in[c]));
            *out++ = static_cast<std::uint8_t>(qGreen(in[c]));
            *out++ = static_cast<std::uint8_t>(qRed(in[c]));
        }
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
