#include "platform/input_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <tuple>

#include "tests/support/temp_dir.h"

namespace vexa {
namespace {

using testing::TempDir;

// What must never be read as a file: nothing blocks, nothing grows beyond the limit.
TEST(InputFile, OnlyRegularFilesWithinTheLimitAreRead) {
    TempDir dir;
    testing::writeFile(dir / "route.kml", "<kml/>");
    std::filesystem::create_directory(dir / "folder.kml");
    ASSERT_EQ(::mkfifo((dir / "fifo.kml").c_str(), 0600), 0);
    {
        std::FILE* sparse = std::fopen((dir / "sparse.kml").c_str(), "wb");
        ASSERT_TRUE(sparse);
        std::fclose(sparse);
        std::filesystem::resize_file(dir / "sparse.kml", kInputFileLimit + 1);
    }
    using enum InputFile::Problem;
    // The file, its problem, the reason the tools give and the one the window gives.
    const std::tuple<std::filesystem::path, InputFile::Problem, const char*, const char*> cases[] = {
        {dir / "route.kml", None, "", ""},
        {dir / "folder.kml", NotAFile, "is a folder, not a file", "sie ist ein Ordner"},
        {dir / "fifo.kml", NotAFile, "is not a regular file", "sie ist keine gewöhnliche Datei"},
        {"/dev/zero", NotAFile, "is not a regular file", "sie ist keine gewöhnliche Datei"},
        {dir / "sparse.kml", TooLarge, "is larger than 256 MiB", "sie ist größer als 256 MiB"},
        {dir / "none.kml", CannotOpen, "No such file or directory", "es gibt sie nicht"}};
    for (const auto& [file, problem, says, window] : cases) {
        const InputFile input = readInputFile(file);
        EXPECT_EQ(std::tuple(input.problem, inputProblemText(input), checkInputFile(file).problem), std::tuple(problem, says, problem)) << file;
        const std::string message = "Die Datei " + file.string() + " kann nicht gelesen werden: " + window + ".";
        if (!input) { EXPECT_EQ(unreadableFileMessage(file, input), message); }
    }
    EXPECT_EQ(readInputFile(dir / "route.kml").bytes, "<kml/>");
    EXPECT_EQ(readInputFile(dir / "route.kml", 5).problem, InputFile::Problem::TooLarge);
}

}  // namespace
}  // namespace vexa
