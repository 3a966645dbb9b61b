#pragma once
// timeGetTime over the monotonic clock: milliseconds since an arbitrary
// start, wrapping at 2^32 (about 49.7 days). Callers compare times by
// unsigned difference. Any thread.

#include "platform/mmtimer/MmTimer.h"

class SteadyClock final : public Clock {
public:
    std::uint32_t GetTime() const override;
};
