#include "platform/framework/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};
int pipeWrite = -1;

// Only async-signal-safe calls here: the UI thread does the rest.
void OnSignal(int) {
    for (int s : kSignals) std::signal(s, SIG_DFL);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(pipeWrite, &byte, 1);
}
}  // namespace

bool HandleTerminationSignals(std::function<void()> onSignal) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    pipeWrite = fds[1];
    auto* notifier = new QSocketNotifier(fds[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [readEnd = fds[0], onSignal = std::move(onSignal)] {
                         char bytes[16];
                         while (read(readEnd, bytes, sizeof bytes) > 0) {
                         }
                         onSignal();
                     });
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals)
        if (sigaction(s, &action, nullptr) != 0) return false;
    return true;
}
