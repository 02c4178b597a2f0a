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
    const QImage image = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    std::string out = "GIF89a";
    const auto put16 = [&](int v) { out += static_cast<char>(v & 0xFF); out += static_cast<char>(v >> 8); };
    put16(image.width());
    put16(image.height());
    out += static_cast<char>(0xF7);  // global colour table of 256 entries
    out += '\0';
    out += '\0';
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < image.colorCount() ? image.color(i) : 0;
        out += static_cast<char>(qRed(c));
        out += static_cast<char>(qGreen(c));
        out += static_cast<char>(qBlue(c));
    }
    out += ',';
    put16(0);
    put16(0);
    put16(image.width());
    put16(image.height());
    out += '\0';
    out += static_cast<char>(8);  // minimum code size
    // 9-bit codes: a clear code before the table would grow to 10 bits.
    std::string data;
    unsigned bits = 0, nbits = 0;
    const auto code = [&](unsigned c) {
        bits |= c << nbits;
        nbits += 9;
        while (nbits >= 8) {
            data += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            nbits -= 8;
        }
    };
    int sinceClear = 0;
    code(256);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (sinceClear == 250) {
                code(256);
                sinceClear = 0;
            }
            code(image.constScanLine(y)[x]);
            ++sinceClear;
        }
    code(257);
    if (nbits > 0) data += static_cast<char>(bits & 0xFF);
    for (std::size_t i = 0; i < data.size(); i += 255) {
        const std::string block = data.substr(i, 255);
        out += static_cast<char>(block.size());
        out += block;
    }
    out += '\0';
    out += ';';
    writeFile(file, out);
}

MapWorld::MapWorld(const std::string& dirName) : dir(temp.path() / dirName) {
    std::filesystem::create_directories(dir);
    frame.displayMode = DisplayMode::Karte;
}

int MapWorld::scan() {
    MapScanContext ctx{table, grid, frame, log, ui, {}, true};
    return fill_karte_tab(ctx, dir.string() + "/");
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
