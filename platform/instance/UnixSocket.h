#pragma once
// The few Unix-domain stream socket calls single instance needs, over plain
// file descriptors: a listening socket for the running instance and a
// connection with timeouts for a second start. Failures are return values;
// errno tells why where a caller cares. Writes never raise SIGPIPE.

#include <chrono>
#include <cstddef>
#include <string>

// Owns one file descriptor and closes it when it goes.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release();
    void Reset();

private:
    int fd_ = -1;
};

// A non-blocking, close-on-exec socket listening at the path, the file made
// user-only (0600) before anyone can connect. Invalid when the path does not
// fit a socket address, is taken, or the system refuses.
UniqueFd ListenOnUnixSocket(const std::string& path, int backlog);

// A non-blocking, close-on-exec socket for the next waiting connection;
// invalid with errno EAGAIN when none waits.
UniqueFd AcceptUnixConnection(int listeningFd);

// A close-on-exec socket connected to the path, waiting up to the timeout
// while the listener's queue is full. Invalid when nobody listens there, the
// path does not fit, or the time runs out.
UniqueFd ConnectToUnixSocket(const std::string& path, std::chrono::milliseconds timeout);

// Writes all the bytes, waiting up to the timeout each time the socket takes
// no more. False when the time runs out or the peer has gone.
bool WriteAll(int fd, const char* data, std::size_t size, std::chrono::milliseconds stallTimeout);

enum class WaitResult { Ready, TimedOut, Failed };
// Waits until the socket has bytes to read or the peer closed (both Ready).
WaitResult WaitReadable(int fd, std::chrono::milliseconds timeout);
