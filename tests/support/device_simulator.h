// A receiver simulator (vexa-gpssim, vexa-garminsim) as a child process: its first line of
// output is the pseudo-terminal to open. The child is terminated with the object.
#pragma once

#include <sys/types.h>

#include <string>

namespace vexa::testing {

class DeviceSimulator {
public:
    // `program` with `arguments` (a shell word list).
    DeviceSimulator(const std::string& program, const std::string& arguments);
    ~DeviceSimulator();
    DeviceSimulator(const DeviceSimulator&) = delete;
    DeviceSimulator& operator=(const DeviceSimulator&) = delete;

    const std::string& device() const { return device_; }

private:
    pid_t pid_ = -1;
    std::string device_;
};

}  // namespace vexa::testing
