#include "platform/file_rename.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace vexa {

bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to, int& error) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    error = errno;
    if (error != EINVAL && error != ENOSYS) return false;
    // A file system without the no-replace flag: a hard link fails on an existing name too.
    if (::link(from.c_str(), to.c_str()) != 0) {
        error = errno;
        return false;
    }
    if (::unlink(from.c_str()) != 0) {
        error = errno;
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

bool deleteFile(const std::filesystem::path& file, int& error) {
    if (::unlink(file.c_str()) == 0) return true;
    error = errno;
    return false;
}

}  // namespace vexa
