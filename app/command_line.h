// The program's command line:
//   vexa [--maps DIR] [--replay FILE] [--port DEVICE] [--screen WxH] [--scale N]
//        [--replay-speed N|max] [--snapshot DIR] [--old-keys] [--help] [--version]
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vexa {

struct CommandLine {
    std::optional<std::filesystem::path> maps;
    std::optional<std::filesystem::path> replay;
    std::optional<int> replaySpeed;  // a factor of the log's time; 0 ("max") as fast as possible
    std::optional<std::string> port;
    int screenWidth = 240;
    int screenHeight = 320;
    int scale = 2;
    bool screenGiven = false;  // --screen and --scale were on the command line
    bool scaleGiven = false;
    std::optional<std::filesystem::path> snapshot;
    bool oldKeys = false;
    bool help = false;
    bool version = false;
    std::string error;      // non-empty: the arguments were not understood
};

CommandLine parseCommandLine(const std::vector<std::string>& args);
std::string usageText();

}  // namespace vexa
