#include "platform/instance/HandOver.h"

#include <chrono>
#include <thread>

#include <QLocalSocket>
#include <QtEndian>

#include "platform/instance/InstanceListener.h"
#include "platform/instance/InstanceProtocol.h"
#include "platform/instance/InstanceSocketPath.h"

namespace {
constexpr int kConnectMs = 1000;
constexpr int kWriteMs = 5000;
constexpr int kAnswerMs = 10000;
constexpr auto kClaimPatience = std::chrono::seconds(3);
constexpr auto kClaimRetry = std::chrono::milliseconds(50);

QByteArray Message(const std::string& commandLine) {
    // The zero travels with the text, as the receiver expects a terminated string.
    const bool send = !commandLine.empty() && commandLine.size() < kMaxHandOverBytes;
    const quint32 size = send ? quint32(commandLine.size() + 1) : 0;
    QByteArray message(kHandOverTag, 4);
    char length[4];
    qToBigEndian(size, length);
    message.append(length, 4);
    if (send) message.append(commandLine.c_str(), qsizetype(size));
    return message;
}
}  // namespace

bool HandOverToRunningInstance(const std::string& windowClass, const std::string& commandLine) {
    const std::optional<std::string> path = InstanceSocketPath(windowClass);
    if (!path) return false;
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(*path));
    if (!socket.waitForConnected(kConnectMs)) return false;
    socket.write(Message(commandLine));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kWriteMs)) return false;
    }
    if (socket.waitForReadyRead(kAnswerMs)) {
        char answer = 0;
        return socket.read(&answer, 1) == 1 && answer == kHandOverAnswer;
    }
    // Still connected: the instance lives but is busy, and reads the message later.
    return socket.error() == QLocalSocket::SocketTimeoutError;
}

StartRole ClaimSingleInstance(InstanceListener& listener, const std::string& windowClass,
                              const std::string& commandLine) {
    const auto deadline = std::chrono::steady_clock::now() + kClaimPatience;
    for (;;) {
        switch (listener.Listen(windowClass)) {
        case InstanceListener::ListenResult::Listening: return StartRole::Player;
        case InstanceListener::ListenResult::Failed: return StartRole::Alone;
        case InstanceListener::ListenResult::Taken: break;
        }
        if (HandOverToRunningInstance(windowClass, commandLine)) return StartRole::HandedOver;
        // The lock's holder may not be listening yet, or may have just ended.
        if (std::chrono::steady_clock::now() >= deadline) return StartRole::Unanswered;
        std::this_thread::sleep_for(kClaimRetry);
    }
}
