#pragma once
// Runs the Qt event loop until a condition holds or time runs out, for tests
// whose player, bus or server answers through queued events.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace testsupport {

// Whether `done` held within `ms` milliseconds.
inline bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace testsupport
