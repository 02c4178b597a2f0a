#include "platform/linux/file_settings_storage.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <tuple>

#include "tests/support/temp_dir.h"

namespace vexa {
namespace {

using testing::TempDir;

TEST(FileSettingsStorage, CreatesTheKeyOnceKeepsTypesApartAndTextsKeepAnyCharacter) {
    TempDir dir;
    FileSettingsStorage storage(dir / "KL/VEXA.conf");
    EXPECT_EQ(storage.open(), KeyOpenResult::Created);
    EXPECT_EQ(storage.open(), KeyOpenResult::Opened);
    const std::string awkward = "Ordner mit % und\nZeilenumbruch\r\\ und Ümlaut=";
    EXPECT_TRUE(storage.writeString("KartDir", awkward));  // the entries behind it survive
    EXPECT_TRUE(storage.writeNumber("LGsaLogTime", 0xFFFFFFFFu));
    EXPECT_TRUE(storage.writeString("LogDir", "/data/logs/"));
    EXPECT_EQ(std::tuple(storage.readNumber("LGsaLogTime"), storage.readString("LogDir"), storage.readString("KartDir")),
              std::tuple(0xFFFFFFFFu, "/data/logs/", awkward));
    // A number is not a text and a text is not a number.
    EXPECT_FALSE(storage.readString("LGsaLogTime") || storage.readNumber("LogDir") || storage.readNumber("iCom"));
    // The file is readable by a person.
    const std::string content = testing::readFile(dir / "KL/VEXA.conf");
    EXPECT_NE(content.find("LGsaLogTime=dword:-1\n"), std::string::npos);
    EXPECT_NE(content.find("LogDir=sz:/data/logs/\n"), std::string::npos);

    // A file where the folder should be: the key cannot be opened.
    testing::writeFile(dir / "KL2", "not a folder");
    EXPECT_EQ(FileSettingsStorage(dir / "KL2/VEXA.conf").open(), KeyOpenResult::Failed);
}

TEST(FileSettingsStorage, OverwritesInPlaceAndRemovesOnlyWhatExists) {
    TempDir dir;
    FileSettingsStorage storage(dir / "VEXA.conf");
    ASSERT_TRUE(storage.writeNumber("iCom", 1) && storage.writeNumber("imindist", 25) && storage.writeNumber("iCom", 4));
    EXPECT_EQ(storage.readNumber("iCom"), 4u);
    EXPECT_TRUE(storage.remove("iCom"));
    EXPECT_FALSE(storage.remove("iCom"));
    EXPECT_EQ(std::tuple(storage.readNumber("iCom"), storage.readNumber("imindist")), std::tuple(std::nullopt, 25u));
}

TEST(FileSettingsStorage, HandEditedAndDamagedLinesAreSkipped) {
    TempDir dir;
    testing::writeFile(dir / "VEXA.conf",
                       "# comment\n\ngarbage without equals\n=novalue\niCom=dword:12abc\n"
                       "imindist=dword:99999999999\nLTraceTime=dword:7\nFont=sz:Tahoma");
    FileSettingsStorage storage(dir / "VEXA.conf");
    EXPECT_FALSE(storage.readNumber("iCom") || storage.readNumber("imindist"));
    // The last line has no line feed.
    EXPECT_EQ(std::tuple(storage.readNumber("LTraceTime"), storage.readString("Font")), std::tuple(7u, "Tahoma"));
    ASSERT_TRUE(storage.writeNumber("iCom", 3));
    EXPECT_EQ(storage.readNumber("LTraceTime"), 7u);
}

TEST(FileSettingsStorage, TwoProgramsWritingAtOnceLoseNothing) {
    TempDir dir;
    const auto file = dir / "VEXA.conf";
    constexpr int kWriters = 3, kValues = 40;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            FileSettingsStorage storage(file);
            bool ok = true;
            for (int i = 0; i < kValues; ++i)
                ok = storage.writeNumber("w" + std::to_string(w) + "v" + std::to_string(i),
                                         static_cast<std::uint32_t>(i)) && ok;
            _exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        EXPECT_TRUE(waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    FileSettingsStorage storage(file);
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kValues; ++i)
            EXPECT_EQ(storage.readNumber("w" + std::to_string(w) + "v" + std::to_string(i)),
                      static_cast<std::uint32_t>(i));
    // No temporary file is left behind.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
}

}  // namespace
}  // namespace vexa
