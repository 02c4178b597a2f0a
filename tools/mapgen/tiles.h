// Cuts a layer picture into map files named by the map file name grammar
// "Karte_<zone>_<left>_<top>_<resolution>_<width>_<height>.<ext>".
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <QImage>

#include "tools/mapgen/layers.h"

namespace vexa::mapgen {

std::string tileFileName(int zone, int left, int top, int resolution, int width, int height,
                         const std::string& extension);

// Removes the map files ("Karte*.png", "Karte*.jpg") a previous run left in `dir`.
void removeOldTiles(const std::filesystem::path& dir);

// Writes the layer's tiles into `dir`; false with `error` set when a file cannot be written.
bool writeTiles(const MapLayer& layer, const QImage& picture, int zone,
                const std::filesystem::path& dir, std::vector<std::filesystem::path>& written,
                std::string& error);

}  // namespace vexa::mapgen
