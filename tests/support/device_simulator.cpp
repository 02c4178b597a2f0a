#include "tests/support/device_simulator.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace vexa::testing {

DeviceSimulator::DeviceSimulator(const std::string& program, const std::string& arguments) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        const std::string command = "exec " + program + " --quiet " + arguments;
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(fds[1]);
    FILE* out = fdopen(fds[0], "r");
    char line[256] = {};
    if (out && std::fgets(line, sizeof line, out)) {
        device_ = line;
        while (!device_.empty() && (device_.back() == '\n' || device_.back() == '\r')) device_.pop_back();
    }
    if (out) std::fclose(out);
}

DeviceSimulator::~DeviceSimulator() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

}  // namespace vexa::testing
