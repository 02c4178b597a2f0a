// A command-line tool run as a user runs it: its exit status and what it printed.
#pragma once

#include <filesystem>
#include <string>

namespace vexa::testing {

struct ToolRun {
    int status;          // the exit status; -1 when the tool did not exit normally
    std::string output;  // standard output and error
};

// Runs `program arguments` through the shell.
ToolRun runTool(const std::string& program, const std::string& arguments);

// A path quoted for the shell.
std::string q(const std::filesystem::path& path);

}  // namespace vexa::testing
