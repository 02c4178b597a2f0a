#include "platform/linux/file_settings_storage.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <charconv>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace vexa {

namespace {

constexpr std::string_view kHeader =
    "# VEXA settings (key Software\\KL\\VEXA). name=dword:NUMBER or name=sz:TEXT\n";
constexpr std::string_view kNumberTag = "dword:";
constexpr std::string_view kTextTag = "sz:";

using Entries = std::vector<std::pair<std::string, std::string>>;  // name, tagged value

// An flock held for the lifetime of the object; shared for reading, exclusive for writing.
class FileLock {
public:
    FileLock(const std::filesystem::path& file, bool exclusive) {
        const std::string lockName = file.string() + ".lock";
        fd_ = ::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0 && ::flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

Entries parse(const std::filesystem::path& file) {
    Entries entries;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.front() == '#') continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        entries.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return entries;
}

std::string encodeText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '%') out += "%25";
        else if (c == '\n') out += "%0A";
        else if (c == '\r') out += "%0D";
        else out.push_back(c);
    }
    return out;
}

std::string decodeText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            unsigned value = 0;
            const auto [end, ec] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
            if (ec == std::errc() && end == text.data() + i + 3) {
                out.push_back(static_cast<char>(value));
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the entries to a temporary file beside `file`, syncs it and renames it over `file`.
bool replaceFile(const std::filesystem::path& file, const Entries& entries) {
    std::string content(kHeader);
    for (const auto& [name, value] : entries) content += name + "=" + value + "\n";

    const std::string temp = file.string() + ".tmp." + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), file.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    const int dir = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace

FileSettingsStorage::FileSettingsStorage(std::filesystem::path file) : file_(std::move(file)) {}

KeyOpenResult FileSettingsStorage::open() {
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    FileLock lock(file_, true);
    if (!lock.held()) return KeyOpenResult::Failed;
    if (std::filesystem::is_regular_file(file_, ec)) {
        return ::access(file_.c_str(), R_OK | W_OK) == 0 ? KeyOpenResult::Opened
                                                         : KeyOpenResult::Failed;
    }
    return replaceFile(file_, {}) ? KeyOpenResult::Created : KeyOpenResult::Failed;
}

std::optional<std::string> FileSettingsStorage::readRaw(std::string_view name) {
    FileLock lock(file_, false);
    std::optional<std::string> found;
    for (auto& [key, value] : parse(file_))
        if (key == name) found = std::move(value);  // the last line of a name wins
    return found;
}

std::optional<std::uint32_t> FileSettingsStorage::readNumber(std::string_view name) {
    const auto raw = readRaw(name);
    if (!raw || raw->rfind(kNumberTag, 0) != 0) return std::nullopt;
    const std::string_view digits = std::string_view(*raw).substr(kNumberTag.size());
    long long value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    if (value < INT32_MIN || value > static_cast<long long>(UINT32_MAX)) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::optional<std::string> FileSettingsStorage::readString(std::string_view name) {
    const auto raw = readRaw(name);
    if (!raw || raw->rfind(kTextTag, 0) != 0) return std::nullopt;
    return decodeText(std::string_view(*raw).substr(kTextTag.size()));
}

bool FileSettingsStorage::update(std::string_view name, const std::optional<std::string>& raw) {
    FileLock lock(file_, true);
    if (!lock.held()) return false;
    Entries entries = parse(file_);
    bool found = false;
    Entries kept;
    for (auto& entry : entries) {
        if (entry.first != name) {
            kept.push_back(std::move(entry));
        } else if (!found) {
            found = true;
            if (raw) kept.emplace_back(std::string(name), *raw);
        }
    }
    if (!found) {
        if (!raw) return false;
        kept.emplace_back(std::string(name), *raw);
    }
    return replaceFile(file_, kept);
}

bool FileSettingsStorage::writeNumber(std::string_view name, std::uint32_t value) {
    return update(name, std::string(kNumberTag) +
                            std::to_string(static_cast<std::int32_t>(value)));
}

bool FileSettingsStorage::writeString(std::string_view name, std::string_view value) {
    return update(name, std::string(kTextTag) + encodeText(value));
}

bool FileSettingsStorage::remove(std::string_view name) { return update(name, std::nullopt); }

}  // namespace vexa
