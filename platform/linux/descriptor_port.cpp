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
    char byte = 0;
    std::size_t count = 0;
    return readBytes(&byte, 1, count);
}

ReadResult DescriptorPort::readBytes(char* into, std::size_t capacity, std::size_t& count) {
    count = 0;
    std::shared_lock lock(mutex_);
    if (fd_ < 0) return {ReadStatus::Closed, 0, EBADF};
    for (;;) {
        count = takeReceived(into, capacity);
        if (count > 0) return {ReadStatus::Byte, static_cast<std::uint8_t>(into[0]), 0};
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, kReadTimeoutMs);
        if (ready < 0) return errno == EINTR ? ReadResult{} : ReadResult{ReadStatus::Error, 0, errno};
        if (ready == 0) return {};
        if (const auto read = readReady(pfd.revents)) return *read;
    }
}

}  // namespace vexa
