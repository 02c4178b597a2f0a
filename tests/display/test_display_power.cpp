// Display power: the backlight hold over the desktop's idle inhibition, the external-power
// state from the power-supply folder, and switching where the desktop cannot.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "display/display_power.h"
#include "util/diagnostic_text.h"
#include "platform/screen_power.h"
#include "tests/support/temp_dir.h"

namespace vexa {
namespace {

struct RecordingScreen : ScreenPower {
    bool desktop = true;
    std::vector<std::string> calls;
    bool inhibitIdle(bool hold) override {
        calls.push_back(hold ? "inhibit" : "uninhibit");
        return desktop;
    }
    bool setScreenOff(bool off) override {
        calls.push_back(off ? "off" : "on");
        return desktop;
    }
};

class DisplayPowerTest : public ::testing::Test {
protected:
    testing::TempDir temp;
    RecordingScreen screen;
    DiagnosticText log;
    DisplayPower power{screen, log, temp.path() / "power_supply"};

    void supply(const std::string& file, const std::string& value) {
        const auto path = temp.path() / "power_supply" / file;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << value << "\n";
    }
    bool logged(const std::string& line) const { return log.text().find(line) != std::string::npos; }
};

TEST_F(DisplayPowerTest, NestedHoldsInhibitOnceAndReleaseAtTheLast) {
    supply("BAT0/type", "Battery");
    supply("BAT0/capacity", "80");
    supply("AC/type", "Mains");
    supply("AC/online", "0");
    power.holdBacklight(true);   // NMEA replay
    power.holdBacklight(true);   // trace replay beside it
    EXPECT_FALSE(power.onAcPower());
    power.holdBacklight(false);
    EXPECT_EQ(screen.calls, std::vector<std::string>{"inhibit"});
    EXPECT_TRUE(power.backlightHeld());
    power.holdBacklight(false);
    power.holdBacklight(false);  // one release too many changes nothing
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"inhibit", "uninhibit"}));
    EXPECT_TRUE(logged("Battery Backlight Timeout Disable"));
    EXPECT_TRUE(logged("Battery Backlight Timeout Reset"));
    // Key "e" releases whatever is held.
    power.holdBacklight(true);
    power.resetBacklight();
    EXPECT_FALSE(power.backlightHeld());
    EXPECT_EQ(screen.calls.back(), "uninhibit");
}

// Without a capacity the energy pair counts; without a battery the power is external.
TEST_F(DisplayPowerTest, ExternalPowerFromMainsOrWithoutABatteryAndTheBatteryLevel) {
    const struct {
        const char *online, *capacity, *energyNow;
        bool ac;
        int percent;
    } cases[] = {{"0", "50", nullptr, false, 50}, {"1", "50", nullptr, true, 50}, {"0", nullptr, "30", false, 75},
                 {"0", nullptr, nullptr, true, -1}};
    for (const auto& c : cases) {
        std::filesystem::remove_all(temp.path() / "power_supply");
        supply("AC/type", "Mains");
        supply("AC/online", c.online);
        if (c.capacity) supply("BAT0/capacity", c.capacity);
        if (c.energyNow) supply("BAT0/energy_now", c.energyNow), supply("BAT0/energy_full", "40");
        if (c.capacity || c.energyNow) supply("BAT0/type", "Battery");
        const PowerStatus status = power.queryPower();
        EXPECT_TRUE(status.known);
        EXPECT_EQ(status.hasBattery, c.percent >= 0) << c.online << c.percent;
        if (c.percent >= 0) {
            EXPECT_EQ(status.percent, c.percent);
        }
        EXPECT_EQ(power.onAcPower(), c.ac) << c.online << c.percent;
    }
}

TEST_F(DisplayPowerTest, WithoutADesktopNothingIsHeldAndTheCallerBlanks) {
    screen.desktop = false;
    power.holdBacklight(true);
    EXPECT_TRUE(logged("Could not get power status"));  // no power-supply folder
    EXPECT_FALSE(logged("Battery Backlight Timeout Disable"));
    EXPECT_FALSE(power.DisplayOnOff(true));
    EXPECT_TRUE(logged("Your Pocket PC does not support DisplayOff"));
    EXPECT_TRUE(logged("Display Off"));
    power.holdBacklight(false);
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"inhibit", "off"}));  // nothing to release
}

}  // namespace
}  // namespace vexa
