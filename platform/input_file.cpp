#include "platform/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "util/text.h"

namespace vexa {

namespace {

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

InputFile problem(InputFile::Problem kind, int error = 0) {
    InputFile input;
    input.problem = kind;
    input.error = error;
    return input;
}

// Opens without blocking (a FIFO would wait for a writer) and checks the kind and size of
// what was opened, not of what the name pointed to a moment before.
InputFile openChecked(const std::filesystem::path& file, std::size_t limit, Descriptor& d, std::size_t& size) {
    d.fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (d.fd < 0) return problem(InputFile::Problem::CannotOpen, errno);
    struct stat st{};
    if (::fstat(d.fd, &st) != 0) return problem(InputFile::Problem::ReadFailed, errno);
    if (S_ISDIR(st.st_mode)) return problem(InputFile::Problem::NotAFile, EISDIR);
    if (!S_ISREG(st.st_mode)) return problem(InputFile::Problem::NotAFile);
    if (static_cast<std::uintmax_t>(st.st_size) > limit) return problem(InputFile::Problem::TooLarge);
    size = static_cast<std::size_t>(st.st_size);
    return {};
}

}  // namespace

InputFile checkInputFile(const std::filesystem::path& file, std::size_t limit) {
    Descriptor d{-1};
    std::size_t size = 0;
    return openChecked(file, limit, d, size);
}

InputFile readInputFile(const std::filesystem::path& file, std::size_t limit) {
    Descriptor d{-1};
    std::size_t size = 0;
    InputFile input = openChecked(file, limit, d, size);
    if (!input) return input;
    input.bytes.reserve(size);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(d.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return problem(InputFile::Problem::ReadFailed, errno);
        if (n == 0) break;
        // A file that grows while it is read stops at the limit as well.
        if (input.bytes.size() + static_cast<std::size_t>(n) > limit) return problem(InputFile::Problem::TooLarge);
        input.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return input;
}

std::string inputProblemText(const InputFile& input) {
    switch (input.problem) {
    case InputFile::Problem::None: return {};
    case InputFile::Problem::NotAFile: return input.error == EISDIR ? "is a folder, not a file" : "is not a regular file";
    case InputFile::Problem::TooLarge: return "is larger than " + std::to_string(kInputFileLimit >> 20) + " MiB";
    case InputFile::Problem::CannotOpen:
    case InputFile::Problem::ReadFailed: return input.error ? std::strerror(input.error) : "cannot be read";
    }
    return {};
}

std::string unreadableFileMessage(const std::filesystem::path& file, const InputFile& input) {
    std::string reason;
    switch (input.problem) {
    case InputFile::Problem::None: break;
    case InputFile::Problem::NotAFile:
        reason = input.error == EISDIR ? "sie ist ein Ordner" : "sie ist keine gewöhnliche Datei";
        break;
    case InputFile::Problem::TooLarge: reason = strprintf("sie ist größer als %zu MiB", kInputFileLimit >> 20); break;
    case InputFile::Problem::CannotOpen:
    case InputFile::Problem::ReadFailed:
        reason = input.error == ENOENT   ? "es gibt sie nicht"
                 : input.error == EACCES ? "keine Leseberechtigung"
                 : input.error           ? std::strerror(input.error)
                                         : "Lesefehler";
        break;
    }
    return strprintf("Die Datei %s kann nicht gelesen werden: %s.", file.c_str(), reason.c_str());
}

}  // namespace vexa
