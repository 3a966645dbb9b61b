#include "platform/instance/InstanceListener.h"

#include <cerrno>

#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QVariant>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/instance/HandOverMessage.h"
#include "platform/instance/InstanceProtocol.h"
#include "platform/instance/InstanceSocketPath.h"

namespace {
// Hand-overs are rare and short; more at once than this is not a second start.
constexpr int kMaxConnections = 16;
}  // namespace

InstanceListener::InstanceListener(QObject* parent) : QObject(parent) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &InstanceListener::Accept);
}

InstanceListener::~InstanceListener() {
    // Sockets go first so that none signals into a half-destroyed listener.
    qDeleteAll(findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly));
    Release();
}

void InstanceListener::Release() {
    server_.close();
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = -1;
}

InstanceListener::ListenResult InstanceListener::Listen(const std::string& windowClass) {
    if (server_.isListening()) return ListenResult::Listening;
    const std::optional<std::string> path = InstanceSocketPath(windowClass);
    if (!path) return ListenResult::Failed;
    const std::string lockPath = *path + ".lock";
    lockFd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) return ListenResult::Failed;
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        Release();
        return taken ? ListenResult::Taken : ListenResult::Failed;
    }
    // Holding the lock means no instance lives, so a socket file is a crashed run's.
    const QString name = QString::fromStdString(*path);
    QLocalServer::removeServer(name);
    if (!server_.listen(name)) {
        Release();
        return ListenResult::Failed;
    }
    return ListenResult::Listening;
}

void InstanceListener::Accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        if (findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly).size() > kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // Qt stops reading from the system once this much is buffered.
        socket->setReadBufferSize(kHandOverHeaderBytes + kMaxHandOverBytes);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        QTimer::singleShot(kHandOverReadMs, socket, [socket] {
            if (socket->property("b3Complete").toBool()) return;
            socket->abort();
            socket->deleteLater();
        });
        Read(socket);
    }
}

void InstanceListener::Read(QLocalSocket* socket) {
    if (socket->property("b3Complete").toBool() || socket->bytesAvailable() < qint64(kHandOverHeaderBytes)) return;
    const QByteArray header = socket->peek(kHandOverHeaderBytes);
    HandOverMessage message;
    if (ReadHandOver({header.constData(), std::size_t(header.size())}, &message) == HandOverStatus::Rejected) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (socket->bytesAvailable() < qint64(message.bytes)) return;
    const QByteArray bytes = socket->read(qint64(message.bytes));
    if (ReadHandOver({bytes.constData(), std::size_t(bytes.size())}, &message) != HandOverStatus::Complete) return;
    socket->setProperty("b3Complete", true);
    // Deliver from the event loop, outside the socket's own signal, so that a
    // callback's modal loop may even see the socket go away.
    QPointer<QLocalSocket> guard(socket);
    QTimer::singleShot(0, this, [this, guard, text = message.commandLine] { Deliver(guard, text); });
}

void InstanceListener::Deliver(QLocalSocket* socket, const std::optional<std::string>& commandLine) {
    QPointer<QLocalSocket> guard(socket);
    if (activate) activate();
    if (commandLine && copyData) copyData(*commandLine);
    if (!guard) return;
    guard->write(&kHandOverAnswer, 1);
    guard->flush();
    guard->disconnectFromServer();
}
