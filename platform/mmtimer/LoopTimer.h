#pragma once
// Periodic timers on the event loop of the thread that owns the timer
// object (the user-interface thread): no thread of their own, so a period
// costs one wake-up of the thread that does the period's work anyway, not a
// second thread that wakes only to pass the work on.
//
// Deadlines lie on a fixed grid of whole periods from SetEvent on the steady
// clock; each wait is a precise one-shot Qt timer to the next deadline, so a
// late wake-up does not shift later ones. When the loop could not run for
// one or more deadlines (a long handler, a busy machine), the callback runs
// once for each deadline that passed, one right after another, the moment
// the loop runs again: a caller that counts periods counts as many as a
// timer on a thread of its own would have. The resolution argument is
// accepted and ignored.
//
// Threads: create, SetEvent, KillEvent and destroy on one thread, which
// runs a Qt event loop; callbacks run on it, inside that loop (nested loops
// of modal dialogs included). Once KillEvent returns the callback never runs
// again; called from the timer's own callback it also ends the callbacks
// still due for passed deadlines.

#include <QObject>
#include <chrono>
#include <cstdint>
#include <map>

#include "platform/mmtimer/MmTimer.h"

class LoopTimer final : public QObject, public MultimediaTimer {
public:
    LoopTimer() = default;
    ~LoopTimer() override;
    LoopTimer(const LoopTimer&) = delete;
    LoopTimer& operator=(const LoopTimer&) = delete;

    // Returns 0 for a zero period or no callback.
    std::uint32_t SetEvent(std::uint32_t periodMs, std::uint32_t resolutionMs, TimerCallback callback,
                           std::uintptr_t user) override;
    // False for an id that is not running.
    bool KillEvent(std::uint32_t id) override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    using SteadyTime = std::chrono::steady_clock;
    struct Event {
        SteadyTime::duration period;
        SteadyTime::time_point next;  // the next deadline on the grid
        TimerCallback callback;
        std::uintptr_t user;
        int qtTimer = 0;  // the one-shot wait for `next`
    };

    void Arm(Event& event);

    std::map<std::uint32_t, Event> events;
    std::uint32_t lastId = 0;
};
