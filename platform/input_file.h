// Reading a file the user named as input: only a regular file is opened (a folder, a FIFO or a
// device is refused before anything blocks or grows), and not beyond a size limit.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace vexa {

// The largest input file read whole: a route, POI list or NMEA log of this size is already far
// beyond what any of them holds.
inline constexpr std::size_t kInputFileLimit = std::size_t{256} << 20;

struct InputFile {
    enum class Problem { None, CannotOpen, NotAFile, TooLarge, ReadFailed };
    Problem problem = Problem::None;
    int error = 0;       // the system error number of CannotOpen and ReadFailed
    std::string bytes;   // the whole file when there is no problem
    explicit operator bool() const { return problem == Problem::None; }
};

InputFile readInputFile(const std::filesystem::path& file, std::size_t limit = kInputFileLimit);

// Whether the file could be read as input: a regular file, not over the limit. Sets `problem`
// and `error` as readInputFile does, without reading.
InputFile checkInputFile(const std::filesystem::path& file, std::size_t limit = kInputFileLimit);

// Why the file was not read, in English: "is a folder", "is larger than 256 MiB", the system's
// error text, ...
std::string inputProblemText(const InputFile& input);

// The window's message for a file it did not read, with the reason in German:
// "Die Datei /home/anna/route.kml kann nicht gelesen werden: sie ist ein Ordner." (the whole
// path, so that a wrong folder on the command line shows)
std::string unreadableFileMessage(const std::filesystem::path& file, const InputFile& input);

}  // namespace vexa
