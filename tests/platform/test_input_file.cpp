#include "platform/input_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
    struct Case {
        std::filesystem::path file;
        InputFile::Problem problem;
        const char* says;
        const char* window;  // the window's reason
    };
    for (const Case& c :
         {Case{dir / "route.kml", InputFile::Problem::None, "", ""},
          Case{dir / "folder.kml", InputFile::Problem::NotAFile, "is a folder, not a file", "sie ist ein Ordner"},
          Case{dir / "fifo.kml", InputFile::Problem::NotAFile, "is not a regular file", "sie ist keine gewöhnliche Datei"},
          Case{"/dev/zero", InputFile::Problem::NotAFile, "is not a regular file", "sie ist keine gewöhnliche Datei"},
          Case{dir / "sparse.kml", InputFile::Problem::TooLarge, "is larger than 256 MiB", "sie ist größer als 256 MiB"},
          Case{dir / "none.kml", InputFile::Problem::CannotOpen, "No such file or directory", "es gibt sie nicht"}}) {
        const InputFile input = readInputFile(c.file);
        EXPECT_EQ(input.problem, c.problem) << c.file;
        EXPECT_EQ(inputProblemText(input), c.says) << c.file;
        if (!input) {
            EXPECT_EQ(unreadableFileMessage(c.file, input),
                      "Die Datei " + c.file.string() + " kann nicht gelesen werden: " + c.window + ".");
        }
        EXPECT_EQ(checkInputFile(c.file).problem, c.problem) << c.file;
    }
    EXPECT_EQ(readInputFile(dir / "route.kml").bytes, "<kml/>");
    EXPECT_EQ(readInputFile(dir / "route.kml", 5).problem, InputFile::Problem::TooLarge);
}

}  // namespace
}  // namespace vexa
