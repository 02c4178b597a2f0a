// Checks that need an ordinary user: root may write into read-only files and folders and read
// unreadable ones.
#pragma once

#include <filesystem>
#include <functional>

namespace vexa::testing {

// Runs `checks` here, or under root in a forked child that has given up root (user and group
// "nobody", 65534) after `dir` was opened to everyone. A failure in the child fails the test.
// Only for checks that start no threads: the child has only the thread that forked.
void asOrdinaryUser(const std::filesystem::path& dir, const std::function<void()>& checks);

}  // namespace vexa::testing
