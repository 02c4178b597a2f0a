#include "platform/linux/gpsd_port.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

namespace vexa {

namespace {

constexpr std::string_view kScheme = "gpsd://";
constexpr std::string_view kWatch = "?WATCH={\"enable\":true,\"nmea\":true}\n";

// Connects with a time-out: a host that swallows the SYN must not hold "GPS Start" for minutes.
int connectWithin(const addrinfo& ai, int timeoutMs, int& error) {
    const int fd = ::socket(ai.ai_family, ai.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, ai.ai_protocol);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    if (::connect(fd, ai.ai_addr, ai.ai_addrlen) != 0) {
        if (errno != EINPROGRESS) {
            error = errno;
            ::close(fd);
            return -1;
        }
        pollfd pfd{fd, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, timeoutMs);
        int soError = ready == 0 ? ETIMEDOUT : 0;
        socklen_t len = sizeof soError;
        if (ready < 0) soError = errno;
        else if (ready > 0) ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len);
        if (soError != 0) {
            error = soError;
            ::close(fd);
            return -1;
        }
    }
    return fd;
}

}  // namespace

std::optional<GpsdAddress> parseGpsdAddress(std::string_view name) {
    if (name == "gpsd") return GpsdAddress{};
    if (name.substr(0, kScheme.size()) != kScheme) return std::nullopt;
    std::string_view rest = name.substr(kScheme.size());
    while (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
    GpsdAddress address;
    std::string_view host = rest;
    std::string_view port;
    if (!rest.empty() && rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = rest.substr(1, close - 1);
        if (close + 1 < rest.size()) {
            if (rest[close + 1] != ':') return std::nullopt;
            port = rest.substr(close + 2);
        }
    } else if (const auto colon = rest.rfind(':'); colon != std::string_view::npos) {
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
    }
    if (!host.empty()) address.host = std::string(host);
    if (!port.empty()) {
        if (port.find_first_not_of("0123456789") != std::string_view::npos || port.size() > 5)
            return std::nullopt;
        address.port = std::string(port);
    }
    return address;
}

std::string gpsdPortName(const GpsdAddress& address) {
    const bool v6 = address.host.find(':') != std::string::npos;
    return std::string(kScheme) + (v6 ? "[" + address.host + "]" : address.host) + ":" + address.port;
}

SerialError GpsdPort::open(const std::string& device, int) {
    std::unique_lock lock(mutex_);
    if (fd_ >= 0) return {EBUSY, "connect"};
    const auto address = parseGpsdAddress(device);
    if (!address) return {EINVAL, "getaddrinfo"};
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(address->host.c_str(), address->port.c_str(), &hints, &found) != 0 || !found)
        return {EHOSTUNREACH, "getaddrinfo"};
    int error = ECONNREFUSED;
    int fd = -1;
    for (const addrinfo* ai = found; ai && fd < 0; ai = ai->ai_next) fd = connectWithin(*ai, kConnectTimeoutMs, error);
    ::freeaddrinfo(found);
    if (fd < 0) return {error, "connect"};
    if (::send(fd, kWatch.data(), kWatch.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(kWatch.size())) {
        error = errno ? errno : EIO;
        ::close(fd);
        return {error, "WATCH"};
    }
    fd_ = fd;
    begin_ = end_ = 0;
    lineStart_ = true;
    skippingJson_ = false;
    return {};
}

std::size_t GpsdPort::takeReceived(char* into, std::size_t capacity) {
    std::size_t count = 0;
    while (begin_ < end_ && count < capacity) {
        const char c = buffer_[begin_++];
        if (lineStart_) skippingJson_ = c == '{';
        lineStart_ = c == '\n';
        if (!skippingJson_) into[count++] = c;
    }
    return count;
}

std::optional<ReadResult> GpsdPort::readReady(short) {
    const ssize_t n = ::recv(fd_, buffer_.data(), buffer_.size(), 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return ReadResult{};
    if (n < 0) return ReadResult{ReadStatus::Error, 0, errno};
    // The daemon closed the connection (it stopped, or lost the receiver for good).
    if (n == 0) return ReadResult{ReadStatus::Error, 0, ECONNRESET};
    begin_ = 0;
    end_ = static_cast<std::size_t>(n);
    return std::nullopt;
}

SerialError GpsdPort::write(std::string_view) {
    std::shared_lock lock(mutex_);
    return {fd_ < 0 ? EBADF : EOPNOTSUPP, "WriteFile"};
}

SerialError GpsdPort::purge() {
    std::shared_lock lock(mutex_);
    if (fd_ < 0) return {EBADF, "PurgeComm"};
    // Only what is buffered here: the daemon keeps no queue for us to clear.
    begin_ = end_;
    return {};
}

}  // namespace vexa
