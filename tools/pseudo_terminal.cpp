#include "tools/pseudo_terminal.h"

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vexa {

std::string PseudoTerminal::open(const std::string& link) {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return std::string("openpty: ") + std::strerror(errno);
    device_ = name;
    termios tio{};
    ::tcgetattr(slave_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave_, TCSANOW, &tio);
    if (!link.empty()) {
        ::unlink(link.c_str());
        if (::symlink(name, link.c_str()) != 0) return "cannot create link " + link + ": " + std::strerror(errno);
        link_ = link;
    }
    return {};
}

void PseudoTerminal::hangUp() {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
    master_ = slave_ = -1;
    if (!link_.empty()) ::unlink(link_.c_str());
    link_.clear();
}

}  // namespace vexa
