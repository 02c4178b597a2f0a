// Writing an export file so that a crash never leaves half a file over an older one.
#pragma once

#include <filesystem>
#include <string_view>

namespace vexa {

// Writes `content` to a temporary file beside `file`, syncs it and renames it over `file`.
// Returns false (and leaves no temporary file) when the file cannot be written.
bool writeFileReplacing(const std::filesystem::path& file, std::string_view content);

}  // namespace vexa
