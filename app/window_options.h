// What the command line decides for the window's run.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace vexa {

struct WindowOptions {
    int screenWidth = 240;
    int screenHeight = 320;
    int scale = 2;
    // A desktop run: the window's place and size and the scale come from the last run (the
    // values above then only size the first start) and are stored at exit. A screen or scale
    // given on the command line holds for the run; a given scale is also stored.
    bool remember = false;
    bool screenGiven = false;
    bool scaleGiven = false;
    bool oldKeys = false;
    std::optional<std::filesystem::path> maps{};  // instead of the stored map directory
    std::optional<std::string> port{};          // a device instead of "COM1:".."COM8:"
    // A drawn replay (trace, route, start-up route) shows each frame at least this long; 0 as
    // fast as frames compose.
    std::chrono::milliseconds replayFramePeriod{40};
    std::optional<int> replaySpeed{};  // the NMEA replay's speed for this run instead of the stored one
    bool headless = false;  // no user: boxes are answered from the start (answerHeadless)
    bool startupAnimation = true;                      // play the built-in route at start
};


}  // namespace vexa
