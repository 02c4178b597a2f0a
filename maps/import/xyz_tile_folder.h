// A zoom level folder of XYZ tiles (DIR/{z}/{x}/{y}.png, rows counted from the north, as web
// maps serve them) described as one GDAL VRT mosaic in Web Mercator.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vexa {

// True when `folder` is named by a zoom level and holds numbered column folders.
bool isXyzZoomFolder(const std::filesystem::path& folder);

// The VRT text of the mosaic; nullopt with `error` set when the folder holds no tiles.
std::optional<std::string> xyzFolderVrt(const std::filesystem::path& folder, std::string& error);

}  // namespace vexa
