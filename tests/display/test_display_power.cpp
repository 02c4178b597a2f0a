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
    bool inhibitIdle(bool hold) override { return calls.push_back(hold ? "inhibit" : "uninhibit"), desktop; }
    bool setScreenOff(bool off) override { return calls.push_back(off ? "off" : "on"), desktop; }
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

// Nested holds (an NMEA replay and a trace replay beside it) inhibit once and release at the
// last; one release too many changes nothing; key "e" releases whatever is held.
TEST_F(DisplayPowerTest, NestedHoldsInhibitOnceAndReleaseAtTheLast) {
    for (const bool hold : {true, true, false}) power.holdBacklight(hold);
    EXPECT_EQ(screen.calls, std::vector<std::string>{"inhibit"});
    for (const bool hold : {false, false}) power.holdBacklight(hold);
    EXPECT_FALSE(power.backlightHeld());
    power.holdBacklight(true);
    EXPECT_TRUE(power.backlightHeld());
    power.resetBacklight();
    EXPECT_FALSE(power.backlightHeld());
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"inhibit", "uninhibit", "inhibit", "uninhibit"}));
    EXPECT_TRUE(logged("Battery Backlight Timeout Disable") && logged("Battery Backlight Timeout Reset"));
}

// Mains online or no battery at all is external power; without a capacity the energy pair counts.
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
        EXPECT_EQ(status.hasBattery ? status.percent : -1, c.percent) << c.online << c.percent;
        EXPECT_EQ(power.onAcPower(), c.ac) << c.online << c.percent;
    }
}

// Without a desktop nothing is held, so nothing is released, and the caller blanks the screen.
TEST_F(DisplayPowerTest, WithoutADesktopNothingIsHeldAndTheCallerBlanks) {
    screen.desktop = false;
    power.holdBacklight(true);
    EXPECT_FALSE(power.DisplayOnOff(true));
    power.holdBacklight(false);
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"inhibit", "off"}));
    for (const char* line : {"Could not get power status", "Your Pocket PC does not support DisplayOff", "Display Off"})
        EXPECT_TRUE(logged(line)) << line;
    EXPECT_FALSE(logged("Battery Backlight Timeout Disable"));
}

}  // namespace
}  // namespace vexa
