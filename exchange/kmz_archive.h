// KMZ: a zip archive whose first ".kml" entry is the document (read with minizip).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vexa {

// The KML document inside the archive, or nothing when the file is no zip archive, holds no
// ".kml" entry, or that entry unpacks to more than `limit` bytes (a zip bomb).
std::optional<std::string> readKmzDocument(const std::filesystem::path& file,
                                           std::size_t limit = std::size_t{256} << 20);

}  // namespace vexa
