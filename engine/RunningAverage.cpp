#include "engine/RunningAverage.h"

#include <algorithm>
#include <numeric>

RunningAverage::RunningAverage(int windowSize, bool resetOnNegative)
    : ring(std::max(windowSize, 1), 0), resetOnNegative(resetOnNegative) {}

int RunningAverage::Add(int v) {
    if (resetOnNegative && v < 0) {
        std::fill(ring.begin(), ring.end(), 0);
        count = 0;
        next = 0;
        average = v;
        return average;
    }
    ring[next] = v;
    next = (next + 1) % static_cast<int>(ring.size());
    count = std::min(count + 1, static_cast<int>(ring.size()));
    // A 64-bit sum keeps ten large values from overflowing.
    const long long sum = std::accumulate(ring.begin(), ring.begin() + count, 0LL);
    average = static_cast<int>((static_cast<double>(sum) + 0.5) / count);
    return average;
}
