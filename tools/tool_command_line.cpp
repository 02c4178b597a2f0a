#include "tools/tool_command_line.h"

#include <cstdio>
#include <cstdlib>

#include "util/version.h"

namespace vexa {

namespace {

enum : int { kHelp = -1, kVersion = -2 };

std::string problemText(const OptionProblem& problem) {
    switch (problem.kind) {
        case OptionProblem::Kind::Unknown: return "unknown option '" + problem.option + "'";
        case OptionProblem::Kind::NeedsValue: return "option '" + problem.option + "' needs a value";
        case OptionProblem::Kind::TakesNoValue: return "option '" + problem.option + "' takes no value";
        case OptionProblem::Kind::None: break;
    }
    return {};
}

}  // namespace

ReadOptions ToolCommandLine::read(std::span<const OptionDef> defs, int argc, char** argv, bool stopAtOperand) const {
    std::vector<OptionDef> all{{kHelp, "help", 'h'}, {kVersion, "version", 'V'}};
    all.insert(all.end(), defs.begin(), defs.end());
    const std::vector<std::string> args(argv + 1, argv + argc);
    ReadOptions read = readOptions(all, args, stopAtOperand);
    for (const OptionFound& option : read.options) {
        if (option.id == kHelp) {
            std::fputs(help_, stdout);
            std::exit(0);
        }
        if (option.id == kVersion) {
            std::printf("%s %s\n", name_.c_str(), vexaVersion());
            std::exit(0);
        }
    }
    if (read.problem) wrong(problemText(read.problem));
    return read;
}

void ToolCommandLine::wrong(const std::string& message) const {
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", name_.c_str(), message.c_str(), name_.c_str());
    std::exit(2);
}

}  // namespace vexa
