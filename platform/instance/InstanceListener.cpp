#include "platform/instance/InstanceListener.h"

#include <cerrno>

#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/instance/HandOverConnection.h"
#include "platform/instance/InstanceSocketPath.h"

namespace {
// Hand-overs are rare and short; more at once than this is not a second start.
constexpr int kMaxConnections = 16;
// Out of descriptors, say: the waiting connection would wake the notifier at once again.
constexpr int kAcceptPauseMs = 100;
}  // namespace

InstanceListener::InstanceListener(QObject* parent) : QObject(parent) {}

InstanceListener::~InstanceListener() {
    // Connections go first so that none calls into a half-destroyed listener.
    qDeleteAll(findChildren<HandOverConnection*>(Qt::FindDirectChildrenOnly));
    Release();
}

void InstanceListener::Release() {
    acceptNotifier_.reset();
    serverFd_.Reset();
    // Before the lock goes, or the next instance's socket could be the one removed.
    if (!socketPath_.empty()) ::unlink(socketPath_.c_str());
    socketPath_.clear();
    lockFd_.Reset();
}

InstanceListener::ListenResult InstanceListener::Listen(const std::string& windowClass) {
    if (serverFd_.Valid()) return ListenResult::Listening;
    const std::optional<std::string> path = InstanceSocketPath(windowClass);
    if (!path) return ListenResult::Failed;
    const std::string lockPath = *path + ".lock";
    lockFd_ = UniqueFd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lockFd_.Valid()) return ListenResult::Failed;
    if (::flock(lockFd_.Get(), LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        Release();
        return taken ? ListenResult::Taken : ListenResult::Failed;
    }
    // Holding the lock means no instance lives, so a socket file is a crashed run's.
    ::unlink(path->c_str());
    serverFd_ = ListenOnUnixSocket(*path, kMaxConnections);
    if (!serverFd_.Valid()) {
        Release();
        return ListenResult::Failed;
    }
    socketPath_ = *path;
    acceptNotifier_ = std::make_unique<QSocketNotifier>(serverFd_.Get(), QSocketNotifier::Read);
    connect(acceptNotifier_.get(), &QSocketNotifier::activated, this, &InstanceListener::Accept);
    return ListenResult::Listening;
}

void InstanceListener::Accept() {
    for (;;) {
        UniqueFd socket = AcceptUnixConnection(serverFd_.Get());
        if (!socket.Valid()) {
            // A client that gave up while waiting is no reason to stop.
            if (errno == ECONNABORTED) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) PauseAccepting();
            return;
        }
        // Over the limit, the socket just closes.
        if (findChildren<HandOverConnection*>(Qt::FindDirectChildrenOnly).size() >= kMaxConnections) continue;
        auto* connection = new HandOverConnection(std::move(socket), this);
        // Deliver from the event loop, outside the socket's notifier, so that a
        // callback's modal loop may even see the connection go away.
        connection->complete = [this, connection](const std::optional<std::string>& commandLine) {
            QTimer::singleShot(0, this, [this, guard = QPointer<HandOverConnection>(connection), commandLine] {
                Deliver(guard, commandLine);
            });
        };
    }
}

void InstanceListener::PauseAccepting() {
    acceptNotifier_->setEnabled(false);
    QTimer::singleShot(kAcceptPauseMs, this, [this] {
        if (acceptNotifier_) acceptNotifier_->setEnabled(true);
    });
}

void InstanceListener::Deliver(QPointer<HandOverConnection> connection,
                               const std::optional<std::string>& commandLine) {
    if (activate) activate();
    if (commandLine && copyData) copyData(*commandLine);
    if (connection) connection->Answer();
}
