#include "tests/maps/map_fixture.h"

namespace vexa::testing {

QRgb blockColour(int px, int py, int base) {
    return qRgb((px / 10) * 10 % 256, (py / 10) * 10 % 256, base);
}

QImage blockPattern(int width, int height, int base) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, blockColour(x, y, base));
    return image;
}

void saveImage(const QImage& image, const std::filesystem::path& file, const char* format) {
    if (!image.save(QString::fromStdString(file.string()), format, 100))
        throw std::runtime_error("cannot write " + file.string());
}

MapWorld::MapWorld(const std::string& dirName) : dir(temp.path() / dirName) {
    std::filesystem::create_directories(dir);
    frame.displayMode = DisplayMode::Karte;
}

int MapWorld::scan(std::optional<std::filesystem::path> folder) {
    MapScanContext ctx{table, grid, frame, log, ui, {}, true};
    return fill_karte_tab(ctx, folder ? folder->string() : dir.string() + "/");
}

MapFrameContext MapWorld::context(FrameOverlays* o, GpsLink* g) {
    MapFrameContext ctx{table, view, frame, grid, canvas, log, ui, clock, &semaphore, presenter,
                        o ? *o : overlays, g ? *g : gps, nullptr};
    ctx.screen = screen_;
    return ctx;
}

bool MapWorld::logHas(const std::string& line) const {
    return log.text().find(line + "\r\n") != std::string::npos;
}

}  // namespace vexa::testing
