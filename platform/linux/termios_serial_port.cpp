#include "platform/linux/termios_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace vexa {

namespace {

constexpr int kWriteTimeoutPerByteMs = 10;
constexpr int kWriteTimeoutConstantMs = 50;

}  // namespace

unsigned termiosSpeed(int baud) {
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return 0;
    }
}

SerialError TermiosSerialPort::open(const std::string& device, int baud) {
    std::unique_lock lock(mutex_);
    if (fd_ >= 0) return {EBUSY, "CreateFile"};
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {errno, "CreateFile"};
    auto fail = [fd](int error, std::string_view function) {
        ::close(fd);
        return SerialError{error, function};
    };
    // No sharing: a second program cannot open the receiver while we read it.
    ::ioctl(fd, TIOCEXCL);

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return fail(errno, "GetCommState");
    const unsigned speed = termiosSpeed(baud);
    if (speed == 0) return fail(EINVAL, "SetCommState");
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    // Reads never block in the driver: readByte() waits in poll() with its own time-out.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0 ||
        ::tcsetattr(fd, TCSANOW, &tio) != 0)
        return fail(errno ? errno : EINVAL, "SetCommState");
    if (::tcflush(fd, TCIOFLUSH) != 0) return fail(errno, "PurgeComm");
    fd_ = fd;
    begin_ = end_ = 0;
    return {};
}

std::size_t TermiosSerialPort::takeReceived(char* into, std::size_t capacity) {
    const std::size_t count = std::min(capacity, end_ - begin_);
    std::memcpy(into, buffer_.data() + begin_, count);
    begin_ += count;
    return count;
}

std::optional<ReadResult> TermiosSerialPort::readReady(short revents) {
    const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
    if (n > 0) {
        begin_ = 0;
        end_ = static_cast<std::size_t>(n);
        return std::nullopt;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return ReadResult{};
    // A hang-up (cable pulled, the other side of a pseudo-terminal closed) shows as poll
    // reporting POLLHUP or POLLERR and the read failing or returning nothing.
    if (n < 0) return ReadResult{ReadStatus::Error, 0, errno};
    if (revents & (POLLHUP | POLLERR)) return ReadResult{ReadStatus::Error, 0, EIO};
    return ReadResult{};
}

SerialError TermiosSerialPort::write(std::string_view bytes) {
    std::shared_lock lock(mutex_);
    if (fd_ < 0) return {EBADF, "WriteFile"};
    const int budget = kWriteTimeoutConstantMs +
                       kWriteTimeoutPerByteMs * static_cast<int>(bytes.size());
    std::size_t done = 0;
    while (done < bytes.size()) {
        pollfd pfd{fd_, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, budget);
        if (ready == 0) return {ETIMEDOUT, "WriteFile"};
        if (ready < 0) {
            if (errno == EINTR) continue;
            return {errno, "WriteFile"};
        }
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            return {errno, "WriteFile"};
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

SerialError TermiosSerialPort::purge() {
    std::shared_lock lock(mutex_);
    if (fd_ < 0) return {EBADF, "PurgeComm"};
    begin_ = end_;
    if (::tcflush(fd_, TCIOFLUSH) != 0) return {errno, "PurgeComm"};
    return {};
}

}  // namespace vexa
