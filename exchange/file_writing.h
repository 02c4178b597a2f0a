// Writing an export file so that a crash never leaves half a file over an older one.
#pragma once

#include <filesystem>
#include <string_view>

namespace vexa {

// Writes `content` to a temporary file beside `file` ("FILE.XXXXXX"), syncs it and renames it
// over `file`. Returns false (and leaves no temporary file) when the file cannot be written,
// with the system error number in `error` when one is given. Temporaries of the same file
// left behind by a write that was killed (older than a minute) are removed first.
bool writeFileReplacing(const std::filesystem::path& file, std::string_view content, int* error = nullptr);

}  // namespace vexa
