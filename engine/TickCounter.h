#pragma once
// The timer side of the decode tick. The multimedia timer runs TickCallback
// every period, on a thread of its own or on the user-interface thread's
// event loop; the user-interface thread handles the posted
// UM_DECODE_TICK and stores 0 in TickCounter when its tick ends.

#include <atomic>
#include <cstdint>

class Clock;

// Timer periods since the last decode tick ended. Shared by the timer's
// callback (increments) and the user-interface thread (reads, resets).
extern std::atomic<int> TickCounter;

// The multimedia timer's callback. user is the MessageTarget* that receives
// UM_DECODE_TICK (wParam 0, lParam the tick clock's time). It posts only when
// no tick is pending, so at most one tick message waits in the queue.
void TickCallback(std::uintptr_t user);

// The clock whose time TickCallback puts in lParam; null gives 0. Set by the
// engine before it starts a timer and cleared after its timers are killed.
void SetTickClock(const Clock* clock);
