// The run without a display: the replay played to its end, then a picture of each view.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>

namespace vexa {

class MainWindow;
class QtUi;

// Nobody is there to answer: message boxes go to the error output and are taken as Ok, file
// dialogs are cancelled. Installed before the window is created, so that no box of the
// start-up (settings, map directory) waits for a user.
void answerHeadless(QtUi& ui);

// Plays `replay` (when given) to its end, then writes view-move.png, view-karte.png,
// view-gps.png and view-nmea.png into `folder`. Returns the exit code.
int runSnapshot(MainWindow& window, const std::optional<std::filesystem::path>& replay,
                const std::filesystem::path& folder);

// Processes events until `done` or the time is up; false on time-out.
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

}  // namespace vexa
