// Test entry point for tests that need a QApplication (offscreen unless the
// environment says otherwise).
#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>

#include "tests/support/TestEnvironment.h"

int main(int argc, char** argv) {
    testenv::Prepare();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(testenv::Home());
    return result;
}
