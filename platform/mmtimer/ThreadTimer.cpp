#include "platform/mmtimer/ThreadTimer.h"

#include <chrono>
#include <system_error>
#include <utility>

#ifdef __linux__
#include <pthread.h>
#endif

ThreadTimer::~ThreadTimer() {
    std::map<std::uint32_t, std::shared_ptr<Event>> running;
    {
        std::lock_guard lock(eventsLock);
        running.swap(events);
    }
    for (auto& [id, event] : running) Stop(*event);
}

std::uint32_t ThreadTimer::SetEvent(std::uint32_t periodMs, std::uint32_t, TimerCallback callback,
                                    std::uintptr_t user) {
    if (periodMs == 0 || callback == nullptr) return 0;
    auto event = std::make_shared<Event>();
    std::lock_guard lock(eventsLock);
    // std::thread reports a failure to start only by throwing; that becomes
    // the 0 a caller of this interface expects.
    try {
        event->thread = std::thread(&ThreadTimer::Run, event, periodMs, callback, user);
    } catch (const std::system_error&) {
        return 0;
    }
    do {
        ++lastId;
    } while (lastId == 0 || events.count(lastId) != 0);
    events.emplace(lastId, std::move(event));
    return lastId;
}

bool ThreadTimer::KillEvent(std::uint32_t id) {
    std::shared_ptr<Event> event;
    {
        std::lock_guard lock(eventsLock);
        auto found = events.find(id);
        if (found == events.end()) return false;
        event = std::move(found->second);
        events.erase(found);
    }
    // Not under eventsLock: a callback that is still running may set or kill
    // another timer.
    Stop(*event);
    return true;
}

void ThreadTimer::Stop(Event& event) {
    {
        std::lock_guard lock(event.mutex);
        event.stop = true;
    }
    event.wake.notify_one();
    if (event.thread.get_id() == std::this_thread::get_id())
        event.thread.detach();  // killed from its own callback; Run holds the Event alive
    else
        event.thread.join();
}

void ThreadTimer::Run(std::shared_ptr<Event> event, std::uint32_t periodMs, TimerCallback callback,
                      std::uintptr_t user) {
    using Clock = std::chrono::steady_clock;
#ifdef __linux__
    // A name of its own, so that per-thread figures (top -H, /proc) show it.
    pthread_setname_np(pthread_self(), "mmtimer");
#endif
    const auto period = std::chrono::milliseconds(periodMs);
    auto deadline = Clock::now() + period;
    std::unique_lock lock(event->mutex);
    while (!event->wake.wait_until(lock, deadline, [&] { return event->stop; })) {
        lock.unlock();
        callback(user);
        lock.lock();
        deadline += period;
        const auto now = Clock::now();
        if (deadline <= now) deadline += ((now - deadline) / period + 1) * period;
    }
}

std::unique_ptr<MultimediaTimer> CreateThreadTimer() { return std::make_unique<ThreadTimer>(); }
