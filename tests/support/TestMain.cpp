// Test entry point for tests that need no window system.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TestEnvironment.h"

int main(int argc, char** argv) {
    testenv::Prepare();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(testenv::Home());
    return result;
}
