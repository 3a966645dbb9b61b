#include "platform/mmtimer/SteadyClock.h"

#include <chrono>

std::uint32_t SteadyClock::GetTime() const {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

std::unique_ptr<Clock> CreateSteadyClock() { return std::make_unique<SteadyClock>(); }
