#include "platform/instance/UnixSocket.h"

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

bool UnixAddress(const std::string& path, sockaddr_un* address) {
    *address = {};
    address->sun_family = AF_UNIX;
    // The path needs its terminating zero inside sun_path, and an embedded zero would cut it short.
    if (path.empty() || path.size() >= sizeof address->sun_path || path.find('\0') != std::string::npos) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

// Waits for the events until the deadline, across signals.
WaitResult WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, MillisecondsLeft(deadline));
        if (ready > 0) {
            if (entry.revents & POLLNVAL) return WaitResult::Failed;
            return WaitResult::Ready;
        }
        if (ready == 0) return WaitResult::TimedOut;
        if (errno != EINTR) return WaitResult::Failed;
    }
}
}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        Reset();
        fd_ = other.Release();
    }
    return *this;
}

int UniqueFd::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::Reset() {
    // Linux closes the descriptor even when close reports EINTR, so no retry.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

UniqueFd ListenOnUnixSocket(const std::string& path, int backlog) {
    sockaddr_un address;
    if (!UnixAddress(path, &address)) return {};
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.Valid()) return {};
    if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return {};
    // Nobody can connect before listen, so setting the mode in between leaves
    // no moment in which another user could, whatever the umask was.
    if (::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd.Get(), backlog) != 0) {
        const int error = errno;
        ::unlink(path.c_str());
        errno = error;
        return {};
    }
    return fd;
}

UniqueFd AcceptUnixConnection(int listeningFd) {
    for (;;) {
        const int fd = ::accept4(listeningFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0 || errno != EINTR) return UniqueFd(fd);
    }
}

UniqueFd ConnectToUnixSocket(const std::string& path, std::chrono::milliseconds timeout) {
    sockaddr_un address;
    if (!UnixAddress(path, &address)) return {};
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) return {};
    // A blocking connect to a local socket waits only while the listener's
    // queue is full, and for at most the send timeout.
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const int left = MillisecondsLeft(deadline);
        if (left == 0) {
            errno = ETIMEDOUT;
            return {};
        }
        const timeval limit{left / 1000, (left % 1000) * 1000};
        if (::setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) != 0) return {};
        if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) break;
        if (errno != EINTR && errno != EAGAIN) return {};
    }
    // Later waits go through poll; the timeout must not linger on the socket.
    const timeval none{0, 0};
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &none, sizeof none);
    return fd;
}

bool WriteAll(int fd, const char* data, std::size_t size, std::chrono::milliseconds stallTimeout) {
    while (size > 0) {
        const ssize_t written = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written > 0) {
            data += written;
            size -= std::size_t(written);
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        if (WaitFor(fd, POLLOUT, Clock::now() + stallTimeout) != WaitResult::Ready) return false;
    }
    return true;
}

WaitResult WaitReadable(int fd, std::chrono::milliseconds timeout) {
    return WaitFor(fd, POLLIN, Clock::now() + timeout);
}
