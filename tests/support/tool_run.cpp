#include "tests/support/tool_run.h"

#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/temp_dir.h"

namespace vexa::testing {

ToolRun runTool(const std::string& program, const std::string& arguments) {
    TempDir out;
    const std::string command = program + " " + arguments + " > " + q(out / "out") + " 2>&1";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out / "out")};
}

std::string q(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

}  // namespace vexa::testing
