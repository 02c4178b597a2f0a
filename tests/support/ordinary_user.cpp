#include "tests/support/ordinary_user.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace vexa::testing {

void asOrdinaryUser(const std::filesystem::path& dir, const std::function<void()>& checks) {
    if (::geteuid() != 0) return checks();
    std::filesystem::permissions(dir, std::filesystem::perms::all);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        checks();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "checks failed in the child";
}

}  // namespace vexa::testing
