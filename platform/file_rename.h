// Renaming and deleting the user's files: a rename never replaces an existing file.
#pragma once

#include <filesystem>

namespace vexa {

// Renames `from` to `to` in one step unless `to` exists. False with the system error number.
bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to, int& error);
// Deletes a file. False with the system error number.
bool deleteFile(const std::filesystem::path& file, int& error);

}  // namespace vexa
