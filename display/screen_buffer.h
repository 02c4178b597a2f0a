// The screen buffer: two 24-bit pixel buffers of the same size, made for a screen copy: the
// composed frame goes into the source buffer, its 3D view into the display buffer, and either
// is saved as a BMP file.
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

class CSTScreenBuffer {
public:
    CSTScreenBuffer() = default;
    virtual ~CSTScreenBuffer() = default;
    CSTScreenBuffer(const CSTScreenBuffer&) = delete;
    CSTScreenBuffer& operator=(const CSTScreenBuffer&) = delete;

    // Creates both buffers once; a buffer that exists keeps its size. Returns 1.
    int Create(int width, int height);
    // Makes both buffers width × height when they have another size; nothing is allocated
    // while the size stays.
    void Resize(int width, int height);
    // Gives both buffers' memory back; the next Create or Resize makes them again.
    void Release();

    // Copies the composed frame into the source buffer (as much of it as fits).
    void CopyScreen(const QImage& source);
    // Copies a 3D view (View3D) into the display buffer the same way.
    void CopyView(const QImage& view);

    // Writes the source buffer (which ≠ 0) or the display buffer (which = 0) as a 24-bit BMP.
    // Returns 0 on success, −1 when the file could not be written.
    int save(const std::string& path, int which, DiagnosticText& log) const;

    int width() const { return width_; }
    int height() const { return height_; }
    int rowWidth() const { return rowWidth_; }

    // Byte offset of pixel (c, r), r counted from the top.
    std::size_t offset(int c, int r) const {
        return (static_cast<std::size_t>(c) + static_cast<std::size_t>(height_ - r - 1) * rowWidth_) * 3;
    }

private:
    void copyInto(std::vector<std::uint8_t>& plane, const QImage& image);

    int width_ = 0;
    int height_ = 0;
    int rowWidth_ = 0;
    std::vector<std::uint8_t> source_;
    std::vector<std::uint8_t> display_;
};

}  // namespace vexa
