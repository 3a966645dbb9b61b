#pragma once
// The multimedia timer and clock.
//
// A periodic timer runs its callback every period: on a thread of its own
// (CreateThreadTimer), or inside the event loop of the thread that created it
// (CreateLoopTimer). After KillEvent returns, the callback is not running and
// never runs again.

#include <cstdint>
#include <memory>

using TimerCallback = void (*)(std::uintptr_t user);

class MultimediaTimer {
public:
    virtual ~MultimediaTimer() = default;
    // Starts a periodic timer; returns its id, 0 when none can be created.
    virtual std::uint32_t SetEvent(std::uint32_t periodMs, std::uint32_t resolutionMs, TimerCallback callback,
                                   std::uintptr_t user) = 0;
    virtual bool KillEvent(std::uint32_t id) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, wrapping at 2^32.
    virtual std::uint32_t GetTime() const = 0;
};

std::unique_ptr<MultimediaTimer> CreateThreadTimer();
// For the thread that creates it, which must run a Qt event loop.
std::unique_ptr<MultimediaTimer> CreateLoopTimer();
std::unique_ptr<Clock> CreateSteadyClock();
