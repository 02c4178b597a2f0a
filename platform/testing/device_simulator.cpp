#include "platform/testing/device_simulator.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>

namespace vexa::testing {

DeviceSimulator::DeviceSimulator(const std::string& program, const std::vector<std::string>& arguments) {
    int out[2];
    if (::pipe(out) != 0) return;
    std::vector<std::string> words{program, "--quiet"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::FILE* stream = ::fdopen(out[0], "r");
    char line[512] = {};
    if (stream && std::fgets(line, sizeof line, stream)) device_ = line;
    while (!device_.empty() && std::isspace(static_cast<unsigned char>(device_.back()))) device_.pop_back();
    if (stream) std::fclose(stream);
}

DeviceSimulator::~DeviceSimulator() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

}  // namespace vexa::testing
