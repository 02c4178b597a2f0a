#include "platform/linux/descriptor_port.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

namespace vexa {

DescriptorPort::~DescriptorPort() { close(); }

SerialError DescriptorPort::close() {
    std::unique_lock lock(mutex_);
    if (fd_ < 0) return {EBADF, "CloseHandle"};
    const int closing = fd_;
    fd_ = -1;
    // The descriptor is released even when close() reports an error (Linux semantics).
    if (::close(closing) != 0 && errno != EINTR) return {errno, "CloseHandle"};
    return {};
}

bool DescriptorPort::isOpen() const {
    std::shared_lock lock(mutex_);
    return fd_ >= 0;
}

ReadResult DescriptorPort::readByte() {
    std::shared_lock lock(mutex_);
    if (fd_ < 0) return {ReadStatus::Closed, 0, EBADF};
    for (;;) {
        if (const auto received = takeReceived()) return *received;
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, kReadTimeoutMs);
        if (ready < 0) return errno == EINTR ? ReadResult{} : ReadResult{ReadStatus::Error, 0, errno};
        if (ready == 0) return {};
        if (const auto read = readReady(pfd.revents)) return *read;
    }
}

}  // namespace vexa
