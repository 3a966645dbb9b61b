#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

#include "platform/mmtimer/MmTimer.h"

namespace {
using Ms = std::chrono::milliseconds;

void RunLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Counter {
    int calls = 0;
    int workMs = 0;
    // Kills its timer on this call when set.
    int killOnCall = 0;
    MultimediaTimer* timer = nullptr;
    std::uint32_t id = 0;
    bool killed = false;
};

void Count(std::uintptr_t user) {
    auto* counter = reinterpret_cast<Counter*>(user);
    ++counter->calls;
    if (counter->workMs > 0) std::this_thread::sleep_for(Ms(counter->workMs));
    if (counter->calls == counter->killOnCall) counter->killed = counter->timer->KillEvent(counter->id);
}
}  // namespace

// A caller counting periods must see as many as a timer thread would have
// counted while the loop was busy: one call per passed deadline, at once.
TEST(LoopTimerTest, EachDeadlinePassedWhileTheLoopWasBusyIsCalledBackWhenItRunsAgain) {
    auto timer = CreateLoopTimer();
    Counter counter;
    ASSERT_NE(timer->SetEvent(20, 1, &Count, reinterpret_cast<std::uintptr_t>(&counter)), 0u);
    std::this_thread::sleep_for(Ms(110));
    EXPECT_EQ(counter.calls, 0);  // nothing runs outside the loop
    QCoreApplication::processEvents();
    EXPECT_GE(counter.calls, 5);
    EXPECT_LE(counter.calls, 6);
}

TEST(LoopTimerTest, CallbackWorkDoesNotStretchThePeriodOverOneSecond) {
    auto timer = CreateLoopTimer();
    Counter counter;
    counter.workMs = 3;
    ASSERT_NE(timer->SetEvent(10, 1, &Count, reinterpret_cast<std::uintptr_t>(&counter)), 0u);
    RunLoopFor(1000);
    // 100 deadlines pass; a timer that waited a period after each callback
    // would manage about 77.
    EXPECT_GE(counter.calls, 95);
    EXPECT_LE(counter.calls, 101);
}

TEST(LoopTimerTest, KillEventFromItsOwnCallbackEndsTheCallbacksStillDue) {
    auto timer = CreateLoopTimer();
    Counter counter;
    counter.timer = timer.get();
    counter.killOnCall = 2;
    counter.id = timer->SetEvent(10, 1, &Count, reinterpret_cast<std::uintptr_t>(&counter));
    ASSERT_NE(counter.id, 0u);
    std::this_thread::sleep_for(Ms(100));  // ten deadlines pass
    RunLoopFor(50);
    EXPECT_TRUE(counter.killed);
    EXPECT_EQ(counter.calls, 2);
    EXPECT_FALSE(timer->KillEvent(counter.id));
}

TEST(LoopTimerTest, KilledOrDestroyedTimersNeverCallBackAndInvalidRequestsFail) {
    Counter counter;
    {
        auto timer = CreateLoopTimer();
        EXPECT_EQ(timer->SetEvent(0, 1, &Count, reinterpret_cast<std::uintptr_t>(&counter)), 0u);
        EXPECT_EQ(timer->SetEvent(10, 1, nullptr, 0), 0u);
        EXPECT_FALSE(timer->KillEvent(0));
        const std::uint32_t killed = timer->SetEvent(5, 1, &Count, reinterpret_cast<std::uintptr_t>(&counter));
        const std::uint32_t other = timer->SetEvent(5, 1, &Count, reinterpret_cast<std::uintptr_t>(&counter));
        ASSERT_NE(killed, 0u);
        ASSERT_NE(other, 0u);
        EXPECT_NE(killed, other);
        EXPECT_TRUE(timer->KillEvent(killed));
        EXPECT_FALSE(timer->KillEvent(killed));
        std::this_thread::sleep_for(Ms(20));
    }
    RunLoopFor(30);
    EXPECT_EQ(counter.calls, 0);
}
