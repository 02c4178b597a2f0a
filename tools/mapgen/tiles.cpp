#include "tools/mapgen/tiles.h"

#include <cstdio>

#include <QImageWriter>
#include <QString>

namespace vexa::mapgen {

std::string tileFileName(int zone, int left, int top, int resolution, int width, int height,
                         const std::string& extension) {
    char name[128];
    std::snprintf(name, sizeof name, "Karte_%d_%d_%d_%d_%d_%d.%s", zone, left, top, resolution,
                  width, height, extension.c_str());
    return name;
}

void removeOldTiles(const std::filesystem::path& dir) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        const std::string ext = entry.path().extension().string();
        if (name.rfind("Karte", 0) == 0 && (ext == ".png" || ext == ".jpg"))
            std::filesystem::remove(entry.path(), ec);
    }
}

bool writeTiles(const MapLayer& layer, const QImage& picture, int zone,
                const std::filesystem::path& dir, std::vector<std::filesystem::path>& written,
                std::string& error) {
    const int metres = layer.tileMetres();
    for (int row = 0; row < layer.rows; ++row) {
        for (int column = 0; column < layer.columns; ++column) {
            const QImage tile = picture.copy(column * layer.tilePx, row * layer.tilePx,
                                             layer.tilePx, layer.tilePx);
            const std::filesystem::path file =
                dir / tileFileName(zone, layer.left + column * metres, layer.top - row * metres,
                                   layer.resolution, layer.tilePx, layer.tilePx, layer.format);
            QImageWriter writer(QString::fromStdString(file.string()),
                                QByteArray::fromStdString(layer.format));
            writer.setQuality(layer.quality);
            if (!writer.write(tile)) {
                error = file.string() + ": " + writer.errorString().toStdString();
                return false;
            }
            written.push_back(file);
        }
    }
    return true;
}

}  // namespace vexa::mapgen
