#pragma once
// Periodic timers, each on its own thread.
//
// A timer's callback runs every period on the timer's thread. Deadlines are
// kept on a fixed grid of whole periods from SetEvent on the steady clock, so
// a late wake-up does not shift later ones; periods that pass entirely while
// a callback overruns are skipped, not made up in a burst. The resolution
// argument is accepted and ignored: the thread wakes as close to each
// deadline as the system allows.
//
// KillEvent from any other thread waits until the callback is not running;
// once it returns, the callback never runs again. Called from inside the
// timer's own callback, it cannot wait for itself: it returns at once, the
// current callback finishes, and no further one starts. Two timers must not
// kill each other from their callbacks (each would wait for the other).

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/mmtimer/MmTimer.h"

class ThreadTimer final : public MultimediaTimer {
public:
    ThreadTimer() = default;
    ~ThreadTimer() override;
    ThreadTimer(const ThreadTimer&) = delete;
    ThreadTimer& operator=(const ThreadTimer&) = delete;

    // Returns 0 for a zero period, no callback, or when no thread can start.
    std::uint32_t SetEvent(std::uint32_t periodMs, std::uint32_t resolutionMs, TimerCallback callback,
                           std::uintptr_t user) override;
    // False for an id that is not running.
    bool KillEvent(std::uint32_t id) override;

private:
    // One running timer; shared with its thread, which may outlive a kill
    // from inside its own callback.
    struct Event {
        std::mutex mutex;
        std::condition_variable wake;
        bool stop = false;  // guarded by mutex
        std::thread thread;
    };

    static void Run(std::shared_ptr<Event> event, std::uint32_t periodMs, TimerCallback callback,
                    std::uintptr_t user);
    static void Stop(Event& event);

    std::mutex eventsLock;
    std::map<std::uint32_t, std::shared_ptr<Event>> events;  // guarded by eventsLock
    std::uint32_t lastId = 0;                                 // guarded by eventsLock
};
