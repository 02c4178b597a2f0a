#include "tests/maps/map_fixture.h"

#include <QPainter>

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

void saveGif(const QImage& source, const std::filesystem::path& file) {
    using namespace std::string_literals;
    const QImage image = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const int w = image.width(), h = image.height();
    std::string out = "GIF89a";
    const auto put16 = [&](int v) { out += {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; };
    put16(w);
    put16(h);
    out += "\xF7\0\0"s;  // a global colour table of 256 entries
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < image.colorCount() ? image.color(i) : 0;
        out += {static_cast<char>(qRed(c)), static_cast<char>(qGreen(c)), static_cast<char>(qBlue(c))};
    }
    out += ',';
    for (const int v : {0, 0, w, h}) put16(v);
    out += "\0\x08"s;  // no local table; minimum code size 8
    // 9-bit codes: a clear code every 250 pixels, before the table would grow to 10 bits.
    std::string data;
    unsigned bits = 0, nbits = 0;
    const auto code = [&](unsigned c) {
        for (bits |= c << nbits, nbits += 9; nbits >= 8; bits >>= 8, nbits -= 8) data += static_cast<char>(bits & 0xFF);
    };
    for (int i = 0; i < w * h; ++i) {
        if (i % 250 == 0) code(256);
        code(image.constScanLine(i / w)[i % w]);
    }
    code(257);
    if (nbits > 0) data += static_cast<char>(bits & 0xFF);
    for (std::size_t i = 0; i < data.size(); i += 255)
        out += static_cast<char>(std::min<std::size_t>(255, data.size() - i)) + data.substr(i, 255);
    writeFile(file, out + "\0;"s);
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
