#include "exchange/file_writing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

namespace vexa {

namespace {

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// "FILE.XXXXXX" as mkstemp makes it, for the given FILE.
bool isTemporaryOf(const std::string& name, const std::string& file) {
    if (name.size() != file.size() + 7 || !name.starts_with(file) || name[file.size()] != '.') return false;
    for (std::size_t i = file.size() + 1; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

// A write still running in another process keeps its temporary for seconds at most.
void removeStaleTemporaries(const std::filesystem::path& file) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const std::string name = file.filename().string();
    const auto stale = fs::file_time_type::clock::now() - std::chrono::minutes(1);
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (!isTemporaryOf(entry, name) || !it->is_regular_file(ec)) continue;
        if (it->last_write_time(ec) < stale && !ec) fs::remove(it->path(), ec);
    }
}

}  // namespace

bool writeFileReplacing(const std::filesystem::path& file, std::string_view content, int* error) {
    removeStaleTemporaries(file);
    std::string temp = file.string() + ".XXXXXX";
    const auto fail = [&](int number) {
        if (error) *error = number;
        return false;
    };
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return fail(errno);
    ::fchmod(fd, 0644);  // mkstemp makes the file private; an export is an ordinary document
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    int number = written ? 0 : errno;
    if (::close(fd) != 0 && number == 0) number = errno;
    if (number == 0 && ::rename(temp.c_str(), file.c_str()) != 0) number = errno;
    if (number != 0) {
        ::unlink(temp.c_str());
        return fail(number);
    }
    return true;
}

}  // namespace vexa
