// The pseudo-terminal a simulator plays a device on: opened raw, reached through its device
// name and, when asked for, a symbolic link. The other side opens the device like a serial port.
#pragma once

#include <string>

namespace vexa {

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal() { hangUp(); }

    // Opens the pair raw (no echo, no line editing until the other side configures it) and
    // points `link` at the device when it is not empty. Returns the reason it failed, else "".
    std::string open(const std::string& link);
    // Closes both sides, so that the other side reads a hang-up, and removes the link.
    void hangUp();

    int master() const { return master_; }
    const std::string& device() const { return device_; }

private:
    int master_ = -1;
    int slave_ = -1;  // kept open here too, so the line survives the other side closing it
    std::string device_;
    std::string link_;
};

}  // namespace vexa
