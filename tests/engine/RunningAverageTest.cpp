#include "engine/RunningAverage.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct AverageCase {
    const char* name;
    int window;
    bool resetOnNegative;
    std::vector<int> added;
    std::vector<int> averages;  // after each Add
};

const AverageCase kCases[] = {
    // (sum + 0.5) / count, truncated: 1 and 2 give 1, not 2.
    {"RoundsByAddingAHalfBeforeTruncating", 3, true, {1, 2, 3}, {1, 1, 2}},
    {"KeepsOnlyTheLastWindowOfValues", 3, true, {1, 2, 3, 10, 10}, {1, 1, 2, 5, 7}},
    {"TakesAWindowBelowOneAsOne", 0, true, {5, 7, 9}, {5, 7, 9}},
    {"StartsAfreshOnANegativeValueInResetMode", 4, true, {10, 20, -4, 6}, {10, 15, -4, 6}},
    {"AveragesANegativeValueOutsideResetMode", 4, false, {10, -4}, {10, 3}},
};

TEST(RunningAverageTest, FollowsItsWindowRoundingAndResetRules) {
    for (const AverageCase& c : kCases) {
        SCOPED_TRACE(c.name);
        RunningAverage average(c.window, c.resetOnNegative);
        std::vector<int> seen;
        for (int v : c.added) seen.push_back(average.Add(v));
        EXPECT_EQ(seen, c.averages);
        EXPECT_EQ(average.Average(), c.averages.back());
    }
}
}  // namespace
