// Golden files: a case line, then its expected record on the next line, indented by two
// spaces. Blank lines and lines starting with '#' are comments.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

namespace vexa::testing {

// Compares `record(case line)` with each expected line; returns how many cases were read.
inline int compareGoldenFile(const std::string& path, const std::function<std::string(const std::string&)>& record) {
    std::ifstream file(path);
    EXPECT_TRUE(file) << path;
    std::string line, expected;
    int cases = 0;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (!std::getline(file, expected)) {
            ADD_FAILURE() << "no expected record after " << line;
            break;
        }
        EXPECT_EQ(record(line), expected.substr(2)) << line;
        ++cases;
    }
    return cases;
}

}  // namespace vexa::testing
