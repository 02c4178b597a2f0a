#include "frame/settings_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "platform/linux/file_settings_storage.h"
#include "platform/testing/scripted_ui.h"
#include "tests/support/temp_dir.h"
#include "util/diagnostic_text.h"

namespace vexa {
namespace {

using testing::TempDir;

// A real settings file in a fresh folder, a scripted user and the diagnostic text.
struct StoreFixture : ::testing::Test {
    TempDir dir;
    FileSettingsStorage storage{dir / "KL/VEXA.conf"};
    ScriptedUi ui;
    DiagnosticText diagnostics;
    SettingsStore store{storage, ui, diagnostics};
};

// Storage that refuses what the test says, to reach the failure paths.
struct RefusingStorage : SettingsStorage {
    bool failOpen = false, failNumbers = false, failStrings = false;
    std::map<std::string, std::uint32_t, std::less<>> numbers;
    KeyOpenResult open() override { return failOpen ? KeyOpenResult::Failed : KeyOpenResult::Opened; }
    std::optional<std::uint32_t> readNumber(std::string_view name) override {
        const auto it = numbers.find(name);
        return it == numbers.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<std::string> readString(std::string_view) override { return std::nullopt; }
    bool writeNumber(std::string_view name, std::uint32_t value) override {
        if (failNumbers) return false;
        numbers[std::string(name)] = value;
        return true;
    }
    bool writeString(std::string_view, std::string_view) override { return !failStrings; }
    bool remove(std::string_view) override { return false; }
};

TEST_F(StoreFixture, EmptyStoreGivesTheDefaultsAndReportsEachMissingValue) {
    Settings s;
    s.iGpsBKColor = 7;  // one of the six that read as 0 when absent
    s.LTraceTime = 9;   // the others stay as they were
    LoadStartupSettings(store, s);
    EXPECT_EQ(std::tuple(s.iCom, s.iZeitsync, s.iHKorrektur, s.iGpsBKColor, s.iPowerSave), std::tuple(1, 0, 0, 0, 0));
    EXPECT_EQ(std::tuple(s.LRmcLogTime, s.LGgaLogTime, s.LGsaLogTime, s.LTraceTime, s.itracemax, s.imindist),
              std::tuple(1L, 1L, -1L, 9L, 2000L, 25L));
    EXPECT_EQ(s.LogDir, "\\");
    const std::string text = diagnostics.text();
    for (const char* name : {"iZeitsync", "iCom", "LGsaLogTime", "itracemax", "LogDir", "iPowerSave"})
        EXPECT_NE(text.find(std::string("Registry für <") + name + "> nicht vorhanden"), std::string::npos) << name;
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(StoreFixture, WrittenValuesComeBackIncludingNegativeLogTimes) {
    Settings written;
    std::tie(written.LGgaLogTime, written.LGsaLogTime, written.LRmcLogTime, written.LTraceTime, written.itracemax,
             written.imindist) = std::tuple(0L, 5L, -1L, 0L, 1500L, 50L);
    RegCreateLogTimes(store, written);
    RegCreateComx(store, 3);
    RegCreateZeitsync(store, 1);
    RegCreateLogdir(store, "/home/anna/logs/");

    Settings read;
    LoadStartupSettings(store, read);
    EXPECT_EQ(std::tuple(read.LGgaLogTime, read.LGsaLogTime, read.LRmcLogTime, read.LTraceTime, read.itracemax, read.imindist),
              std::tuple(0L, 5L, -1L, 0L, 1500L, 50L));
    EXPECT_EQ(std::tuple(read.iCom, read.iZeitsync), std::tuple(3, 1));
    EXPECT_EQ(read.LogDir, "/home/anna/logs/");
}

TEST_F(StoreFixture, OutOfRangeValuesReadAsTheTableSizeOrCom1) {
    ASSERT_EQ(storage.open(), KeyOpenResult::Created);
    for (const std::uint32_t stored : {2001u, 0xFFFFFFFFu}) {
        ASSERT_TRUE(storage.writeNumber("itracemax", stored));
        Settings s;
        RegQueryLogTimes(store, s);
        EXPECT_EQ(s.itracemax, 2000) << stored;
    }
    for (const std::uint32_t stored : {0u, 9u}) {
        RegCreateComx(store, stored);
        Settings s;
        s.iCom = 4;
        LoadStartupSettings(store, s);
        EXPECT_EQ(s.iCom, 1) << stored;
    }
}

TEST_F(StoreFixture, MapDirectoryIsCutTo259CharactersAndAbsenceIsReported) {
    std::string dir;
    EXPECT_FALSE(RegQueryKartdir(store, dir));
    EXPECT_EQ(diagnostics.text(), "Value KartDir not in Registry\r\n");
    RegCreateKartdir(store, "/" + std::string(400, 'k'));
    EXPECT_TRUE(RegQueryKartdir(store, dir));
    EXPECT_EQ(dir.size(), kKartDirChars);
}

TEST_F(StoreFixture, FontIsChosenByNameAndItsSizeReadAs16Bits) {
    const std::vector<std::string> fonts = {"DejaVu Sans", "Liberation Sans", "Tahoma"};
    int selected = 0, size = 12;
    RegQueryFont(store, fonts, selected, size);
    EXPECT_EQ(selected, 0);
    EXPECT_NE(diagnostics.text().find("Value Font not in Registry"), std::string::npos);

    RegCreateFont(store, fonts, 2, 14);
    RegQueryFont(store, fonts, selected, size);
    EXPECT_EQ(std::tuple(selected, size), std::tuple(2, 14));
    storage.writeString("Font", "Not Installed");
    storage.writeNumber("Fontsize", 0x10012);
    RegQueryFont(store, fonts, selected, size);
    EXPECT_EQ(std::tuple(selected, size), std::tuple(2, 0x12));
}

TEST_F(StoreFixture, PortDevicesAndTheMapMemoryAreReadQuietlyWhenAbsent) {
    EXPECT_EQ(std::tuple(RegQueryKartenSpeicher(store), RegQueryComDevice(store, 2)), std::tuple(0u, ""));
    storage.writeNumber("iKartenSpeicherMB", 300);
    RegCreateComDevice(store, 2, "/dev/rfcomm0");
    RegCreateComDevice(store, 9, "/dev/ttyS9");  // no such port: nothing is written
    EXPECT_EQ(std::tuple(RegQueryKartenSpeicher(store), RegQueryComDevice(store, 2), RegQueryComDevice(store, 1)),
              std::tuple(300u, "/dev/rfcomm0", ""));
    EXPECT_FALSE(storage.readString("ComDevice9"));
    EXPECT_EQ(diagnostics.text(), "");
}

// The window placement is a text anyone may edit: anything but four numbers with a size is none.
TEST_F(StoreFixture, TheWindowPlacementIsReadOnlyWhenWholeAndWrittenBackExactly) {
    const std::pair<const char*, std::optional<WindowPlacement>> cases[] = {
        {"60,20,500,540", WindowPlacement{60, 20, 500, 540}},
        {"-1920,-5,800,600", WindowPlacement{-1920, -5, 800, 600}},
        {"1,2,3", std::nullopt},
        {"1,2,0,5", std::nullopt},
        {"1,2,3,4x", std::nullopt},
        {"a,b,c,d", std::nullopt},
        {"", std::nullopt},
    };
    storage.open();
    for (const auto& [text, placement] : cases) {
        storage.writeString("sWindow", text);
        EXPECT_EQ(RegQueryWindow(store), placement) << text;
    }
    RegCreateWindow(store, {-3, 7, 640, 480});
    EXPECT_EQ(storage.readString("sWindow"), "-3,7,640,480");
    EXPECT_EQ(RegQueryScale(store), 0u);
    RegCreateScale(store, 3);
    EXPECT_EQ(RegQueryScale(store), 3u) << "the map scale read and written beside it";
    EXPECT_EQ(diagnostics.text(), "") << "absence is normal";
}

TEST_F(StoreFixture, DebugModeTellsWhetherTheKeyWasNew) {
    diagnostics.debugMode = true;
    RegCreatePowerSave(store, 1);
    RegQueryPowerSave(store);
    EXPECT_EQ(diagnostics.text(), "Opened existing key\r\nCreated new key\r\n");
}

TEST_F(StoreFixture, DeleteAllRemovesEighteenNamesInOrderAfterConfirmation) {
    RegCreateComx(store, 2);
    RegCreateLogdir(store, "/tmp/");
    ui.queueAnswer(Answer::Cancel);
    EXPECT_FALSE(RegDeleteAll(store));
    EXPECT_EQ(std::tuple(diagnostics.text(), storage.readNumber("iCom")), std::tuple("", 2u));

    EXPECT_TRUE(RegDeleteAll(store));
    EXPECT_EQ(std::tuple(ui.messages().at(1).text, ui.messages()[1].caption, ui.messages()[1].buttons),
              std::tuple("Registry Entries ?", "Delete", MessageButtons::OkCancel));

    // Newest line first: eighteen names from "KartDir" to "iHKorrektur"; only the two stored
    // ones were there to delete.
    const std::string text = diagnostics.text();
    EXPECT_TRUE(text.starts_with("Could not delete key <iHKorrektur>\r\n") && text.ends_with("Could not delete key <KartDir>\r\n") &&
                text.find("Delete key <iCom> ok\r\n") != std::string::npos && text.find("Delete key <LogDir> ok\r\n") != std::string::npos)
        << text;
    EXPECT_EQ(std::tuple(std::count(text.begin(), text.end(), '\n'), storage.readNumber("iCom")), std::tuple(18, std::nullopt));
}

TEST(SettingsFailures, KeyThatCannotBeOpenedShowsTheBoxOnceUnwritableValuesAreReported) {
    RefusingStorage storage;
    ScriptedUi ui;
    DiagnosticText diagnostics;
    SettingsStore store{storage, ui, diagnostics};
    storage.failOpen = true;
    storage.numbers["iZeitsync"] = 1;
    Settings settings;
    LoadStartupSettings(store, settings);  // eight openings, one box, defaults kept
    EXPECT_EQ(std::tuple(settings.iZeitsync, settings.iCom, settings.LRmcLogTime), std::tuple(0, 1, 1L));
    RegCreateZeitsync(store, 1);
    const std::string box = "Could not open/create key: \nHKEY_LOCAL_MACHINE\\Software\\KL\\VEXA";
    EXPECT_EQ(std::tuple(ui.messages().size(), ui.messages().at(0).text), std::tuple(1u, box));
    EXPECT_TRUE(diagnostics.text().starts_with("Could not open/create key:\r\n"));
    diagnostics.setText("");
    ui.queueAnswer(Answer::Ok);
    RegDeleteAll(store);
    EXPECT_EQ(diagnostics.text(), "Could not open/create key:\r\n");

    storage.failOpen = false;
    storage.failNumbers = storage.failStrings = true;
    RegCreateHKorrektur(store, 1);
    EXPECT_EQ(diagnostics.text(), "Could not create key <iHKorrektur>\r\nCould not open/create key:\r\n");
    RegCreateLogdir(store, "/x/");
    storage.failOpen = true;  // the key opened in between: a new failure is shown again
    RegQueryComx(store);
    ASSERT_EQ(ui.messages().size(), 4u);
    EXPECT_EQ(std::tuple(ui.messages()[2].text, ui.messages()[3].text), std::tuple("Could not save key", box));
}

}  // namespace
}  // namespace vexa
