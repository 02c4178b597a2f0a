// Where VEXA's files live on Linux.
//
//   \My Documents         $VEXA_HOME if set, else the XDG documents folder (usually ~/Documents)
//   \My Documents\vexa    that folder's vexa/ (created at first start)
//   log directory "\"     \My Documents\vexa\ (a writable place)
//   settings key          $XDG_CONFIG_HOME/KL/VEXA.conf (~/.config/KL/VEXA.conf)
#pragma once

#include <filesystem>
#include <string_view>

namespace vexa {

std::filesystem::path myDocumentsDir();
std::filesystem::path vexaDir();
std::filesystem::path settingsFile();

// The stored log directory as a folder: the handheld default "\" means vexaDir().
std::filesystem::path logDirectory(std::string_view storedLogDir);

}  // namespace vexa
