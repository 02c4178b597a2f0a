// A receiver simulator (vexa-gpssim, vexa-garminsim) as a child process: its first line of
// output is the pseudo-terminal to open. Started with posix_spawn rather than fork, which the
// thread sanitizer cannot follow once threads exist. The child is terminated with the object.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vexa::testing {

class DeviceSimulator {
public:
    DeviceSimulator(const std::string& program, const std::vector<std::string>& arguments);
    ~DeviceSimulator();
    DeviceSimulator(const DeviceSimulator&) = delete;
    DeviceSimulator& operator=(const DeviceSimulator&) = delete;

    const std::string& device() const { return device_; }

private:
    pid_t pid_ = 0;
    std::string device_;
};

}  // namespace vexa::testing
