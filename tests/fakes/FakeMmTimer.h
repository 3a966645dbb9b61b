#pragma once
// A multimedia timer and clock driven by the test. FakeTimer records every
// SetEvent and KillEvent, can refuse to create timers, and runs the live
// timer's callback when the test calls Fire. FakeClock shows the time the
// test sets, optionally advancing by a step on every read.

#include <cstdint>
#include <map>
#include <vector>

#include "platform/mmtimer/MmTimer.h"

class FakeTimer : public MultimediaTimer {
public:
    struct Event {
        std::uint32_t id;
        std::uint32_t periodMs;
        std::uint32_t resolutionMs;
        TimerCallback callback;
        std::uintptr_t user;
    };

    bool failSetEvent = false;
    std::vector<Event> started;
    std::vector<std::uint32_t> killed;

    std::uint32_t SetEvent(std::uint32_t periodMs, std::uint32_t resolutionMs, TimerCallback callback,
                           std::uintptr_t user) override {
        if (failSetEvent) return 0;
        const Event event{nextId++, periodMs, resolutionMs, callback, user};
        started.push_back(event);
        live[event.id] = event;
        return event.id;
    }
    bool KillEvent(std::uint32_t id) override {
        killed.push_back(id);
        return live.erase(id) == 1;
    }

    std::size_t LiveCount() const { return live.size(); }
    // The period of the one live timer, 0 when none runs.
    std::uint32_t LivePeriod() const { return live.size() == 1 ? live.begin()->second.periodMs : 0; }
    // Runs the callback of every live timer once, as one period passing.
    void Fire() {
        const auto snapshot = live;
        for (const auto& [id, event] : snapshot) event.callback(event.user);
    }

private:
    std::uint32_t nextId = 1;
    std::map<std::uint32_t, Event> live;
};

class FakeClock : public Clock {
public:
    // Mutable because reads advance it when a step is set.
    mutable std::uint32_t now = 0;
    std::uint32_t stepPerRead = 0;

    std::uint32_t GetTime() const override {
        const std::uint32_t time = now;
        now += stepPerRead;
        return time;
    }
};
