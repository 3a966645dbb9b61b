#pragma once
// One accepted client of the instance socket, read from the event loop until
// it has sent a whole hand-over message (InstanceProtocol.h). Closes itself
// and goes (deleteLater) on a wrong tag or size, when the client leaves or
// fails first, or when the message is not whole within kHandOverReadMs; it
// never reads past the message, so at most the header and kMaxHandOverBytes.
// Lives on the thread that owns its parent.

#include <functional>
#include <optional>
#include <string>

#include <QObject>
#include <QSocketNotifier>

#include "platform/instance/UnixSocket.h"

class HandOverConnection : public QObject {
public:
    // The socket must be non-blocking.
    HandOverConnection(UniqueFd socket, QObject* parent);

    // Called once, from the socket's notifier, with the message's command
    // line (none when it only activates). The connection then stays, idle,
    // until Answer or its owner deletes it.
    std::function<void(const std::optional<std::string>& commandLine)> complete;

    // Tells the client its message was handled, then closes and goes.
    void Answer();

private:
    void Read();
    void Drop();

    UniqueFd socket_;
    QSocketNotifier notifier_;
    std::string received_;
    bool complete_ = false;
};
