#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/mmtimer/MmTimer.h"

namespace {
using Ms = std::chrono::milliseconds;
using SteadyTime = std::chrono::steady_clock;

struct Counter {
    std::atomic<int> calls{0};
    std::atomic<bool> inside{false};
    int workMs = 0;
};

void Count(std::uintptr_t user) {
    auto* counter = reinterpret_cast<Counter*>(user);
    counter->inside = true;
    if (counter->workMs > 0) std::this_thread::sleep_for(Ms(counter->workMs));
    counter->calls.fetch_add(1);
    counter->inside = false;
}

struct SelfKiller {
    MultimediaTimer* timer = nullptr;
    std::atomic<std::uint32_t> id{0};
    std::atomic<int> calls{0};
    std::atomic<bool> killed{false};
};

void KillOnThirdCall(std::uintptr_t user) {
    auto* killer = reinterpret_cast<SelfKiller*>(user);
    if (killer->calls.fetch_add(1) + 1 == 3) killer->killed = killer->timer->KillEvent(killer->id);
}
}  // namespace

TEST(ThreadTimerTest, CallbackWorkDoesNotStretchThePeriodOverOneSecond) {
    auto timer = CreateThreadTimer();
    Counter counter;
    counter.workMs = 3;  // a callback that takes a third of its period
    const auto start = SteadyTime::now();
    const std::uint32_t id = timer->SetEvent(10, 1, &Count, reinterpret_cast<std::uintptr_t>(&counter));
    ASSERT_NE(id, 0u);
    std::this_thread::sleep_until(start + Ms(1000));
    ASSERT_TRUE(timer->KillEvent(id));
    // 100 periods fit; a timer that waited a period after each callback would
    // manage about 77. Slow machines may skip a few.
    EXPECT_GE(counter.calls.load(), 88);
    EXPECT_LE(counter.calls.load(), 101);
}

TEST(ThreadTimerTest, NoCallbackRunsOrStartsAfterKillEventReturns) {
    auto timer = CreateThreadTimer();
    Counter counter;
    counter.workMs = 1;
    for (int round = 0; round < 40; ++round) {
        const std::uint32_t id = timer->SetEvent(1, 1, &Count, reinterpret_cast<std::uintptr_t>(&counter));
        ASSERT_NE(id, 0u);
        std::this_thread::sleep_for(std::chrono::microseconds(500 + 137 * round));
        ASSERT_TRUE(timer->KillEvent(id));
        EXPECT_FALSE(counter.inside.load()) << "round " << round;
        const int calls = counter.calls.load();
        std::this_thread::sleep_for(Ms(4));
        EXPECT_EQ(counter.calls.load(), calls) << "round " << round;
    }
    EXPECT_GT(counter.calls.load(), 0);
}

TEST(ThreadTimerTest, TwoTimersRunTogetherAndStopIndependently) {
    auto timer = CreateThreadTimer();
    Counter fast, slow;
    const std::uint32_t fastId = timer->SetEvent(10, 1, &Count, reinterpret_cast<std::uintptr_t>(&fast));
    const std::uint32_t slowId = timer->SetEvent(25, 1, &Count, reinterpret_cast<std::uintptr_t>(&slow));
    ASSERT_NE(fastId, 0u);
    ASSERT_NE(slowId, 0u);
    EXPECT_NE(fastId, slowId);
    std::this_thread::sleep_for(Ms(500));
    ASSERT_TRUE(timer->KillEvent(fastId));
    const int fastCalls = fast.calls.load();
    const int slowCalls = slow.calls.load();
    EXPECT_GE(fastCalls, 40);
    EXPECT_LE(fastCalls, 51);
    EXPECT_GE(slowCalls, 15);
    EXPECT_LE(slowCalls, 21);
    std::this_thread::sleep_for(Ms(200));
    EXPECT_EQ(fast.calls.load(), fastCalls);
    EXPECT_GE(slow.calls.load(), slowCalls + 5);
    EXPECT_TRUE(timer->KillEvent(slowId));
}

TEST(ThreadTimerTest, KillEventFromItsOwnCallbackStopsLaterCallbacks) {
    auto timer = CreateThreadTimer();
    SelfKiller killer;
    killer.timer = timer.get();
    killer.id = timer->SetEvent(5, 1, &KillOnThirdCall, reinterpret_cast<std::uintptr_t>(&killer));
    ASSERT_NE(killer.id.load(), 0u);
    std::this_thread::sleep_for(Ms(150));
    EXPECT_TRUE(killer.killed.load());
    EXPECT_EQ(killer.calls.load(), 3);
    EXPECT_FALSE(timer->KillEvent(killer.id));
}

TEST(ThreadTimerTest, InvalidRequestsFailWithoutStartingAnything) {
    auto timer = CreateThreadTimer();
    Counter counter;
    EXPECT_EQ(timer->SetEvent(0, 1, &Count, reinterpret_cast<std::uintptr_t>(&counter)), 0u);
    EXPECT_EQ(timer->SetEvent(10, 1, nullptr, 0), 0u);
    EXPECT_FALSE(timer->KillEvent(0));
    EXPECT_FALSE(timer->KillEvent(12345));
    const std::uint32_t id = timer->SetEvent(10, 1, &Count, reinterpret_cast<std::uintptr_t>(&counter));
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(timer->KillEvent(id));
    EXPECT_FALSE(timer->KillEvent(id));
}

TEST(ThreadTimerTest, DestroyingTheTimerStopsEveryRunningEvent) {
    Counter counter;
    {
        auto timer = CreateThreadTimer();
        ASSERT_NE(timer->SetEvent(2, 1, &Count, reinterpret_cast<std::uintptr_t>(&counter)), 0u);
        ASSERT_NE(timer->SetEvent(3, 1, &Count, reinterpret_cast<std::uintptr_t>(&counter)), 0u);
        std::this_thread::sleep_for(Ms(20));
    }
    const int calls = counter.calls.load();
    std::this_thread::sleep_for(Ms(20));
    EXPECT_EQ(counter.calls.load(), calls);
}

TEST(SteadyClockTest, GetTimeCountsElapsedMilliseconds) {
    auto clock = CreateSteadyClock();
    const std::uint32_t before = clock->GetTime();
    std::this_thread::sleep_for(Ms(50));
    // Unsigned difference, as callers compare, also across the wrap.
    const std::uint32_t elapsed = clock->GetTime() - before;
    EXPECT_GE(elapsed, 50u);
    EXPECT_LT(elapsed, 500u);
}

#ifdef __linux__
#include <pthread.h>

#include <cstring>

// Per-thread CPU figures tell the timer's thread apart by this name.
TEST(ThreadTimerTest, CallbackThreadIsNamedForPerThreadFigures) {
    static char name[16];
    static std::atomic<bool> named{false};
    auto timer = CreateThreadTimer();
    const std::uint32_t id = timer->SetEvent(
        5, 1,
        [](std::uintptr_t) {
            if (!named) {
                pthread_getname_np(pthread_self(), name, sizeof name);
                named = true;
            }
        },
        0);
    ASSERT_NE(id, 0u);
    const auto end = SteadyTime::now() + Ms(2000);
    while (!named && SteadyTime::now() < end) std::this_thread::sleep_for(Ms(5));
    timer->KillEvent(id);
    ASSERT_TRUE(named);
    EXPECT_STREQ(name, "mmtimer");
}
#endif
