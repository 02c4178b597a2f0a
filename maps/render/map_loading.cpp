#include "maps/render/map_loading.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include "util/diagnostic_text.h"
#include "geo/grid_context.h"
#include "maps/map_file_name.h"
#include "maps/memory_status.h"
#include "maps/render/map_drawing.h"
#include "platform/ui.h"
#include "util/text.h"

namespace vexa {

namespace {

// The 16 colours of a 4-bit display.
const QList<QRgb>& sixteenColours() {
    static const QList<QRgb> palette = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return palette;
}

enum class Decode { Ok, OpenFailed, Failed };

std::atomic<std::uint64_t> mapMemoryBudget{0};  // 0: a quarter of physical memory

// Decodes one file. The size is taken from the header first, so an image beyond the
// 10000-pixel limits is refused before any pixel memory is allocated. `format` forces one
// decoder (the BMP loader); null lets the content decide. The path is opened as the bytes it
// is: a file name need not be valid UTF-8 (a Latin-1 "ä" from an old card), and a conversion
// to QString would lose it.
Decode decodeFile(const std::string& path, const char* format, QImage& image, int& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return Decode::OpenFailed;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = EBADF;
        return Decode::OpenFailed;
    }
    QImageReader reader(&file, format ? QByteArray(format) : QByteArray());
    if (format) reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (!size.isValid()) {
        error = EINVAL;
        return Decode::Failed;
    }
    const std::uint64_t bytes = 4ull * static_cast<std::uint64_t>(size.width()) *
                                static_cast<std::uint64_t>(size.height());
    if (size.width() > kMaxImageWidth || size.height() > kMaxImageHeight || bytes > MapMemoryBudget()) {
        error = ENOMEM;
        return Decode::Failed;
    }
    // Qt's own limit (256 MB) would refuse a 10000 × 10000 map that the size check allows.
    static const bool limitRaised = (QImageReader::setAllocationLimit(512), true);
    (void)limitRaised;
    if (!reader.read(&image) || image.isNull()) {
        image = QImage();
        error = EINVAL;
        return Decode::Failed;
    }
    return Decode::Ok;
}

// The overlay of a hybrid map: "karte_0…jpg" has its overlay in "karte_1…png" beside it.
// The names are matched without regard to case; the overlay keeps the photo's letter case.
std::string hybridOverlayPath(const std::string& path) {
    const std::string lower = asciiLower(path);
    const std::size_t zone = lower.rfind("karte_0");
    const std::size_t jpg = lower.rfind(".jpg");
    if (zone == std::string::npos || jpg == std::string::npos) return {};
    std::string overlay = path;
    overlay[zone + 6] = '1';
    overlay[jpg + 1] = overlay[jpg + 1] == 'J' ? 'P' : 'p';
    overlay[jpg + 2] = overlay[jpg + 2] == 'P' ? 'N' : 'n';
    return overlay;
}

// Copies every overlay pixel that is not the colour key over the photo.
void layOverlay(QImage& photo, const QImage& overlaySource) {
    photo = photo.convertToFormat(QImage::Format_RGB32);
    const QImage overlay = overlaySource.convertToFormat(QImage::Format_RGB32);
    const int width = std::min(photo.width(), overlay.width());
    const int height = std::min(photo.height(), overlay.height());
    for (int y = 0; y < height; ++y) {
        QRgb* dst = reinterpret_cast<QRgb*>(photo.scanLine(y));
        const QRgb* src = reinterpret_cast<const QRgb*>(overlay.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if ((src[x] & 0xFFFFFFu) != (kHybridColourKey & 0xFFFFFFu)) dst[x] = src[x];
    }
}

// The bit depth maps are kept at: 16 colours when asked, 8 bits for GIF, else the display's.
QImage toMapDepth(const QImage& image, std::string_view extension, int mapColourMode) {
    if (mapColourMode == 1)
        return image.convertToFormat(QImage::Format_Indexed8, sixteenColours(), Qt::ThresholdDither);
    if (extension == "gif" || extension == "GIF")
        return image.format() == QImage::Format_Indexed8
                   ? image
                   : image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
}

void logMemory(DiagnosticText& log, const char* when) {
    if (!log.debugMode) return;
    const MemoryStatus m = GlobalMemoryStatus();
    AddNmeaListLine(log, strprintf("%s phys: %ld %ld", when, m.totalPhys, m.availPhys));
    AddNmeaListLine(log, strprintf("%s virt: %ld %ld", when, m.totalVirtual, m.availVirtual));
}

}  // namespace

std::uint64_t MapMemoryBudget() {
    if (const std::uint64_t set = mapMemoryBudget.load()) return set;
    static const std::uint64_t quarter = static_cast<std::uint64_t>(GlobalMemoryStatus().totalPhys) / 4;
    return quarter > 0 ? quarter : UINT64_MAX;  // memory unknown: the pixel limits alone
}

void SetMapMemoryBudget(std::uint64_t bytes) { mapMemoryBudget.store(bytes); }

int ReadPictureFile(const std::string& path, std::string_view extension, int mapColourMode,
                    DiagnosticText& log, QImage& pictureResult, int& error) {
    QImage photo = std::move(pictureResult);
    pictureResult = QImage();
    const Decode decoded = decodeFile(path, nullptr, photo, error);
    if (decoded == Decode::OpenFailed) return 0;
    if (decoded == Decode::Failed) {
        AddNmeaListLine(log, strprintf("Error DecompressImageIndirect %s", path.c_str()));
        return 0;
    }
    const std::string overlayPath = hybridOverlayPath(path);
    if (!overlayPath.empty()) {
        QImage overlay;
        const Decode overlayDecoded = decodeFile(overlayPath, nullptr, overlay, error);
        if (overlayDecoded == Decode::Failed) {
            AddNmeaListLine(log, strprintf("Error DecompressImageIndirect %s", overlayPath.c_str()));
            return 0;
        }
        if (overlayDecoded == Decode::Ok) layOverlay(photo, overlay);
    }
    pictureResult = toMapDepth(photo, extension, mapColourMode);
    return 1;
}

LoadResult ReadBitmapFromFile(const MapEntry& row, int mapColourMode, DiagnosticText& log, QImage reuse) {
    LoadResult result;
    const std::string_view ext = fileExtension(row.path);
    const bool picture = ext == "gif" || ext == "jpg" || ext == "png" || ext == "GIF" ||
                         ext == "JPG" || ext == "PNG";
    if (picture) {
        QImage image = std::move(reuse);
        if (ReadPictureFile(row.path, ext, mapColourMode, log, image, result.error))
            result.bitmap = std::move(image);
    } else {
        QImage image = std::move(reuse);
        if (decodeFile(row.path, "bmp", image, result.error) == Decode::Ok)
            result.bitmap = image.convertToFormat(QImage::Format_RGB32);
    }
    if (result.bitmap.isNull()) {
        const std::string name(row.fileName());
        AddNmeaListLine(log, strprintf("An %ld error occured.", static_cast<long>(result.error)));
        AddNmeaListLine(log, strprintf("%s %s Line=%d", "ReadBitmapFromFile", name.c_str(), __LINE__));
        if (result.error == ENOMEM) AddNmeaListLine(log, "<<< ReadBitmapFromFile Speicherengpass >>>");
        if (result.error == EBADF) AddNmeaListLine(log, "<<< ReadBitmapFromFile Invalid Handle >>>");
    }
    return result;
}

namespace {

// The file's real size differs from its name: the row takes the real size and the file is
// renamed by the permanent calibration command.
void correctMapSize(MapFrameContext& ctx, MapEntry& row, int width, int height) {
    row.widthPx = width;
    row.heightPx = height;
    row.right = row.left + static_cast<float>(width) * 1000.0f / static_cast<float>(row.resolution);
    row.bottom = row.top - static_cast<float>(height) * 1000.0f / static_cast<float>(row.resolution);
    const std::string& zone = ctx.grid.LocalDatumGrid ? ctx.table.stripText : ctx.table.zoneText;
    const std::string ext(row.extension());
    ctx.view.PendingMapRow = static_cast<int>(&row - ctx.table.rows.data());
    ctx.view.PendingMapName =
        strprintf("Karte_%s_%6.0f_%7.0f_%d_%d_%d.%s", zone.c_str(), static_cast<double>(row.left),
                  static_cast<double>(row.top), row.resolution, width, height, ext.c_str());
    ctx.ui.sendCommand(kCmdPermanentCalibration);
}

}  // namespace

int show_pos_UP(MapFrameContext& ctx, QPainter& painter, int rowIndex, const TrackPoint& position) {
    MapImages& images = ctx.canvas.images;
    images.sync(ctx.table);
    MapEntry& row = ctx.table.rows.at(static_cast<std::size_t>(rowIndex));
    const std::string name(row.fileName());

    if (!drawnInView(row, ctx.view)) {
        row.inView = 0;
        if (images.loaded(rowIndex)) {
            logMemory(ctx.log, "vor unload");
            AddDebugLine(ctx.log, strprintf("unload %s", name.c_str()));
            images.release(rowIndex);
            logMemory(ctx.log, "nach unload");
        }
        return 1;
    }

    if (!images.loaded(rowIndex)) {
        ctx.presenter.windowText(0, 0, strprintf("load (%d) %s", rowIndex, name.c_str()));
        logMemory(ctx.log, "vor load");
        AddDebugLine(ctx.log, strprintf("load %s", name.c_str()));
        ctx.ui.setWaitCursor(true);
        LoadResult loaded = ReadBitmapFromFile(row, ctx.MapColourMode, ctx.log,
                                               images.takeSpare(QSize(row.widthPx, row.heightPx)));
        ctx.ui.setWaitCursor(false);
        logMemory(ctx.log, "nach load");
        if (loaded.bitmap.isNull()) {
            AddNmeaListLine(ctx.log, "Nicht alle Karten gelesen");
            return 0;
        }
        const int width = loaded.bitmap.width();
        const int height = loaded.bitmap.height();
        images.store(rowIndex, std::move(loaded.bitmap));
        if (width != row.widthPx || height != row.heightPx) correctMapSize(ctx, row, width, height);
    }
    show_karte_pos(ctx, painter, position, rowIndex);
    return 1;
}

}  // namespace vexa
