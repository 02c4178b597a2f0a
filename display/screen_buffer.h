// The screen buffer: two 24-bit pixel buffers of the same size. The composed frame is copied
// into the source buffer, resampled into the display buffer as the 3D view, and the window's
// part of the display buffer is shown. Either buffer can be saved as a BMP file.
//
// Pixel layout of both buffers: 3 bytes per pixel (blue, green, red), rows of rowWidth·3 bytes
// stored bottom-up, as in a BMP file: pixel (c, r), r counted from the top, lies at byte
// (c + (height − r − 1)·rowWidth)·3.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QImage>

namespace vexa {

class DiagnosticText;

// The colour of resampled pixels without a source: the map background (40, 200, 200).
inline constexpr std::uint8_t kScreenBackgroundBgr[3] = {200, 200, 40};

enum class Sb3DVariant { Normal, Landscape, UpsideDown };

class CSTScreenBuffer {
public:
    CSTScreenBuffer() = default;
    virtual ~CSTScreenBuffer() = default;
    CSTScreenBuffer(const CSTScreenBuffer&) = delete;
    CSTScreenBuffer& operator=(const CSTScreenBuffer&) = delete;

    // Creates both buffers once; a buffer that exists keeps its size. Returns 1.
    int Create(int width, int height);
    // Makes both buffers width × height when they have another size (the screen was resized);
    // nothing is allocated while the size stays.
    void Resize(int width, int height);

    // Copies the middle of the display buffer into `screen` (32-bit), which it fills.
    void copyMiddle(QImage& screen) const;

    // Copies the composed frame into the source buffer (as much of it as fits).
    void CopyScreen(const QImage& source);

    // The 3D view of the map plane seen from behind the position, with viewing parameter P.
    // A buffer larger than 400 rows keeps the view of a 400-row buffer about its middle and
    // extends it up to the horizon and down.
    void sb3D(Sb3DVariant variant, int P, bool fullScreen);

    // Writes the source buffer (which ≠ 0) or the display buffer (which = 0) as a 24-bit BMP.
    // Returns 0 on success, −1 when the file could not be written.
    int save(const std::string& path, int which, DiagnosticText& log) const;

    int width() const { return width_; }
    int height() const { return height_; }
    int rowWidth() const { return rowWidth_; }
    std::uint8_t* sourcePixels() { return source_.data(); }
    std::uint8_t* displayPixels() { return display_.data(); }
    const std::uint8_t* displayPixels() const { return display_.data(); }

    // Byte offset of pixel (c, r), r counted from the top.
    std::size_t offset(int c, int r) const {
        return (static_cast<std::size_t>(c) + static_cast<std::size_t>(height_ - r - 1) * rowWidth_) * 3;
    }

private:
    int width_ = 0;
    int height_ = 0;
    int rowWidth_ = 0;
    std::vector<std::uint8_t> source_;
    std::vector<std::uint8_t> display_;
};

}  // namespace vexa
