// Decoding map images into QImages, and loading or releasing a row's image as the view needs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <QImage>

#include "maps/map_table.h"
#include "maps/render/map_frame_context.h"
#include "geo/track_point.h"

class QPainter;

namespace vexa {

inline constexpr int kMaxImageWidth = 10000;
inline constexpr int kMaxImageHeight = 10000;
inline constexpr QRgb kHybridColourKey = qRgb(248, 248, 240);

// The most memory one decoded map may take (4 bytes a pixel): a map beyond it is refused with
// "Speicherengpass" before its pixels are decoded. A quarter of physical memory unless set;
// setting 0 restores that default.
std::uint64_t MapMemoryBudget();
void SetMapMemoryBudget(std::uint64_t bytes);

struct LoadResult {
    QImage bitmap;      // null on failure
    int error = 0;      // system error of a failure
};

// Decodes a JPG, PNG or GIF file, and lays the PNG overlay of a hybrid map over it.
// Returns 1 with the image in pictureResult, 0 on failure (error set). An image passed in
// pictureResult lends its memory when it has the decoded size and format.
int ReadPictureFile(const std::string& path, std::string_view extension, int mapColourMode,
                    DiagnosticText& log, QImage& pictureResult, int& error);

// Loads a row's image by its extension: "gif", "jpg", "png" in either all lower or all upper
// case go to the picture decoder, anything else to the BMP loader. `reuse` is a released image
// whose memory the decoder may fill.
LoadResult ReadBitmapFromFile(const MapEntry& row, int mapColourMode, DiagnosticText& log, QImage reuse = {});

// A row is drawn when it lies in the view at the resolution shown.
inline bool drawnInView(const MapEntry& row, const MapView& view) {
    return row.inView == 1 && row.resolution == view.ShownResolution;
}

// Loads, draws or releases one row. Returns 0 only when a needed load failed.
int show_pos_UP(MapFrameContext& ctx, QPainter& painter, int row, const TrackPoint& position);

}  // namespace vexa
