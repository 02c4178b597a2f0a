// "--version" for every command-line tool: one line with the tool's name and VEXA's version.
#pragma once

#include <cstdio>
#include <cstring>

namespace vexa {

// True (after printing the line) when the only argument is "--version".
inline bool printedVersion(int argc, char** argv, const char* tool) {
    if (argc != 2 || std::strcmp(argv[1], "--version") != 0) return false;
    std::printf("%s %s\n", tool, VEXA_VERSION);
    return true;
}

}  // namespace vexa
