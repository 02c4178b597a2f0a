// The real main window on the offscreen platform, over a fresh state aggregate, with the
// settings file and the documents folder in a temporary folder. The user's side is scripted:
// message boxes are recorded and answered Ok, file dialogs are answered from a queue, and
// command dialogs are handed to the test.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/controllers/display_controller.h"
#include "app/controllers/replay_controller.h"
#include "app/controllers/window_input.h"
#include "app/main_window.h"
#include "app/snapshot.h"
#include "platform/linux/file_settings_storage.h"
#include "platform/linux/system_clock.h"
#include "platform/linux/termios_serial_port.h"
#include "platform/testing/manual_clock.h"
#include "tests/support/temp_dir.h"

namespace vexa::testing {

std::filesystem::path sourceDir();
std::filesystem::path demoMaps();
std::filesystem::path demoLog();

class AppTest : public ::testing::Test {
protected:
    TempDir dir_;
    std::filesystem::path home_ = dir_ / "home";
    std::filesystem::path config_ = dir_ / "config";
    ScopedEnv homeEnv_{"VEXA_HOME", home_.c_str()};
    ScopedEnv configEnv_{"XDG_CONFIG_HOME", config_.c_str()};

    SystemClock systemClock_;
    ManualClock manualClock_;
    std::unique_ptr<FileSettingsStorage> storage_;
    TermiosSerialPort port_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<MainWindow> window_;
    std::deque<std::optional<std::filesystem::path>> files_;
    bool startupAnimation_ = false;  // the built-in route animation at start
    std::optional<int> replaySpeed_ = kReplaySpeedMax;  // empty: the stored speed, as a desktop start

    AppTest();

    // Creates and starts the window, closing one opened before over the same settings file;
    // replays as fast as frames compose unless `replayPeriod`.
    MainWindow& open(WindowOptions options = {}, bool manualClock = false,
                     std::chrono::milliseconds replayPeriod = std::chrono::milliseconds(0));
    // The same with the maps of `maps` instead of the stored map directory.
    MainWindow& openWithMaps(std::filesystem::path maps, bool manualClock = false,
                             std::chrono::milliseconds replayPeriod = std::chrono::milliseconds(0)) {
        return open({.maps = std::move(maps)}, manualClock, replayPeriod);
    }
    MainWindow& window() { return *window_; }
    AppState& state() { return *state_; }
    FileSettingsStorage& storage() { return *storage_; }

    // Runs a command and the commands it posts.
    void run(int id);
    // Processes events until `done`; false after `timeoutMs`.
    bool waitFor(const std::function<bool()>& done, int timeoutMs = 10000) { return waitUntil(done, timeoutMs); }
    void settle();

    std::vector<std::string> messages() const;
    // With VEXA_SHOTS set, shows the widget and saves its picture in that folder (docs/ keeps them).
    void shot(QWidget& widget, const char* name);
    DisplayMode view() const { return state_->frame.displayMode.load(); }
    bool contains(const std::string& text, const std::string& part) const { return text.find(part) != std::string::npos; }
    // The text on one line for a golden file, its line breaks written as "\n".
    static std::string oneLine(std::string text) {
        for (std::size_t at; (at = text.find('\n')) != std::string::npos;) text.replace(at, 1, "\\n");
        return text;
    }
    int count(const std::string& haystack, const std::string& needle) const {
        int n = 0;
        for (auto at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1), ++n) {}
        return n;
    }
    // The dialogs the next commands open are worked by `script` as `Dialog`s.
    template <typename Dialog>
    void answer(std::function<int(Dialog&)> script) {
        window().setDialogRunner([script](QDialog& d) { return script(dynamic_cast<Dialog&>(d)); });
    }
};

}  // namespace vexa::testing
