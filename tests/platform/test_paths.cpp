#include "platform/paths.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/temp_dir.h"

namespace vexa {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

TEST(Paths, VexaHomeWinsOverTheDesktopsDocumentsFolder) {
    ScopedEnv home("VEXA_HOME", "/srv/karten");
    EXPECT_EQ(std::tuple(myDocumentsDir(), vexaDir()), std::tuple("/srv/karten", "/srv/karten/vexa"));
    EXPECT_EQ(std::tuple(logDirectory("\\"), logDirectory(""), logDirectory("/var/log/gps/")),
              std::tuple("/srv/karten/vexa", "/srv/karten/vexa", "/var/log/gps/"));
}

TEST(Paths, DocumentsAndSettingsFollowTheXdgDirectories) {
    TempDir dir;
    ScopedEnv vexaHome("VEXA_HOME", nullptr);
    ScopedEnv home("HOME", dir.path().c_str());
    ScopedEnv config("XDG_CONFIG_HOME", (dir / "cfg").c_str());
    EXPECT_EQ(myDocumentsDir(), dir / "Documents");
    std::filesystem::create_directories(dir / "cfg");
    testing::writeFile(dir / "cfg/user-dirs.dirs",
                       "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                       "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(myDocumentsDir(), dir / "Dokumente");
    EXPECT_EQ(settingsFile(), dir / "cfg/KL/VEXA.conf");

    // Without an absolute XDG_CONFIG_HOME the settings live in ~/.config.
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(settingsFile(), dir / ".config/KL/VEXA.conf");
    ScopedEnv none("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(settingsFile(), dir / ".config/KL/VEXA.conf");
}

}  // namespace
}  // namespace vexa
