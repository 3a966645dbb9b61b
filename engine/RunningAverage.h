#pragma once
// The rounded mean of the last N integers added, used to steady the bit rate
// shown while a variable-rate stream plays.

#include <vector>

class RunningAverage {
public:
    // A window below 1 is taken as 1. In reset-on-negative mode a negative
    // value starts the window afresh and becomes the average itself.
    RunningAverage(int windowSize, bool resetOnNegative);

    // Adds v and returns the new average: (sum + 0.5) / count, truncated.
    int Add(int v);
    int Average() const { return average; }

private:
    std::vector<int> ring;
    int count = 0;
    int next = 0;
    int average = 0;
    bool resetOnNegative;
};
