#include "platform/instance/HandOver.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <thread>

#include <sys/socket.h>

#include "platform/instance/InstanceListener.h"
#include "platform/instance/InstanceProtocol.h"
#include "platform/instance/InstanceSocketPath.h"
#include "platform/instance/UnixSocket.h"

namespace {
constexpr auto kConnectTimeout = std::chrono::milliseconds(1000);
constexpr auto kWriteTimeout = std::chrono::milliseconds(5000);
constexpr auto kAnswerTimeout = std::chrono::milliseconds(10000);
constexpr auto kClaimPatience = std::chrono::seconds(3);
constexpr auto kClaimRetry = std::chrono::milliseconds(50);

std::string Message(const std::string& commandLine) {
    // The zero travels with the text, as the receiver expects a terminated string.
    const bool send = !commandLine.empty() && commandLine.size() < kMaxHandOverBytes;
    const std::uint32_t size = send ? std::uint32_t(commandLine.size() + 1) : 0;
    std::string message(kHandOverTag, sizeof kHandOverTag);
    for (int shift = 24; shift >= 0; shift -= 8) message += char((size >> shift) & 0xff);
    if (send) message.append(commandLine.c_str(), size);
    return message;
}

// The answer, or true when the instance is still busy with the message as
// the time runs out: it lives and reads the message later.
bool AwaitAnswer(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + kAnswerTimeout;
    for (;;) {
        char answer = 0;
        const ssize_t received = ::recv(fd, &answer, 1, MSG_DONTWAIT);
        if (received == 1) return answer == kHandOverAnswer;
        if (received == 0) return false;  // closed without answering
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        switch (WaitReadable(fd, std::max(left, std::chrono::milliseconds(0)))) {
        case WaitResult::Ready: break;
        case WaitResult::TimedOut: return true;
        case WaitResult::Failed: return false;
        }
    }
}
}  // namespace

bool HandOverToRunningInstance(const std::string& windowClass, const std::string& commandLine) {
    const std::optional<std::string> path = InstanceSocketPath(windowClass);
    if (!path) return false;
    const UniqueFd socket = ConnectToUnixSocket(*path, kConnectTimeout);
    if (!socket.Valid()) return false;
    const std::string message = Message(commandLine);
    if (!WriteAll(socket.Get(), message.data(), message.size(), kWriteTimeout)) return false;
    return AwaitAnswer(socket.Get());
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
