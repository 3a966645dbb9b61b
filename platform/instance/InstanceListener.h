#pragma once
// The running instance's side of single instance: it holds the per-user lock
// for a window class and listens on its socket (InstanceSocketPath.h) for
// hand-overs from later starts (InstanceProtocol.h).
//
// Whoever holds the lock (an flock on "<socket>.lock", which the system
// drops when a process ends, crashed or not) is the one instance; a socket
// file found while taking the lock is a crashed run's leftover and is
// replaced. Lives on the user-interface thread; the callbacks run there from
// the event loop, never inside Listen, and may open modal loops. The
// destructor stops listening, removes the socket and releases the lock.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>

#include "platform/instance/UnixSocket.h"

class HandOverConnection;

class InstanceListener : public QObject {
public:
    enum class ListenResult {
        Listening,  // this process is the one instance
        Taken,      // another live process holds the lock: hand over to it
        Failed,     // no private folder, lock file or socket could be had
    };

    explicit InstanceListener(QObject* parent = nullptr);
    ~InstanceListener() override;

    ListenResult Listen(const std::string& windowClass);

    // Show the window normally and raise it (also when it started hidden).
    std::function<void()> activate;
    // The handed-over command line, up to its terminating zero.
    std::function<void(const std::string& text)> copyData;

private:
    void Accept();
    void PauseAccepting();
    void Deliver(QPointer<HandOverConnection> connection, const std::optional<std::string>& commandLine);
    void Release();

    UniqueFd lockFd_;
    UniqueFd serverFd_;
    std::unique_ptr<QSocketNotifier> acceptNotifier_;
    std::string socketPath_;  // set while the socket file is ours to remove
};
