#include "engine/TickCounter.h"

#include "engine/PlayerMessages.h"
#include "platform/framework/MessageTarget.h"
#include "platform/mmtimer/MmTimer.h"

std::atomic<int> TickCounter{0};

namespace {
std::atomic<const Clock*> tickClock{nullptr};
}  // namespace

void TickCallback(std::uintptr_t user) {
    if (TickCounter.fetch_add(1) == 0) {
        const Clock* clock = tickClock.load();
        const LPARAM time = clock ? static_cast<LPARAM>(clock->GetTime()) : 0;
        reinterpret_cast<MessageTarget*>(user)->PostMessage(UM_DECODE_TICK, 0, time);
    }
}

void SetTickClock(const Clock* clock) { tickClock.store(clock); }
