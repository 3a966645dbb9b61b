#include "platform/instance/HandOverConnection.h"

#include <algorithm>
#include <cerrno>

#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

#include "platform/instance/HandOverMessage.h"
#include "platform/instance/InstanceProtocol.h"

HandOverConnection::HandOverConnection(UniqueFd socket, QObject* parent)
    : QObject(parent), socket_(std::move(socket)), notifier_(socket_.Get(), QSocketNotifier::Read) {
    connect(&notifier_, &QSocketNotifier::activated, this, &HandOverConnection::Read);
    QTimer::singleShot(kHandOverReadMs, this, [this] {
        if (!complete_) Drop();
    });
}

void HandOverConnection::Read() {
    char chunk[16 * 1024];
    for (;;) {
        HandOverMessage message;
        const HandOverStatus status = ReadHandOver(received_, &message);
        if (status == HandOverStatus::Rejected) return Drop();
        if (status == HandOverStatus::Complete) {
            complete_ = true;
            notifier_.setEnabled(false);
            if (complete) complete(message.commandLine);
            return;
        }
        // Only what the message still lacks, so that nothing past it is taken.
        const std::size_t wanted =
            (received_.size() < kHandOverHeaderBytes ? kHandOverHeaderBytes : message.bytes) - received_.size();
        const ssize_t got = ::read(socket_.Get(), chunk, std::min(sizeof chunk, wanted));
        if (got > 0) {
            received_.append(chunk, std::size_t(got));
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        // The client left, or its socket failed, before the message was whole.
        return Drop();
    }
}

void HandOverConnection::Answer() {
    // One byte always fits the empty send buffer; a client already gone
    // gets nothing, and its closed end must not raise SIGPIPE here.
    while (::send(socket_.Get(), &kHandOverAnswer, 1, MSG_NOSIGNAL | MSG_DONTWAIT) < 0 && errno == EINTR) {
    }
    Drop();
}

void HandOverConnection::Drop() {
    notifier_.setEnabled(false);
    socket_.Reset();
    deleteLater();
}
