#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/settings/IniSettingsStore.h"
#include "tests/platform/settings/SettingsTestFiles.h"

namespace {
// Each written value tells its own length, so a torn value shows.
std::string BigValue(int n) {
    const char fill = static_cast<char>('a' + n % 26);
    return std::string(100000 + 100 * (n % 26), fill);
}

bool IsSomeBigValue(const std::string& value) {
    if (value.empty()) return false;
    const int n = value[0] - 'a';
    return n >= 0 && n < 26 && value == BigValue(n);
}

// Says on `started` once the first round of writes is on disk, so that a
// slow start never makes the kill land before it.
[[noreturn]] void WriteForever(const std::filesystem::path& file, int started) {
    IniSettingsStore store(file);
    for (int n = 0;; ++n) {
        store.WriteString("Big", "Value", BigValue(n));
        store.WriteInt("Big", "Counter", n);
        store.WriteString("Small", "Key" + std::to_string(n % 50), std::to_string(n));
        if (n == 0) {
            const char byte = 1;
            (void)!write(started, &byte, 1);
            close(started);
        }
    }
}
}  // namespace

TEST(SettingsKill, KillDuringWritesLeavesAReadableFileWithWholeValues) {
    const auto file = settingstest::FreshFolder() / "settings.ini";
    {
        IniSettingsStore store(file);
        for (int i = 0; i < 50; ++i) ASSERT_TRUE(store.WriteString("Keep", "Key" + std::to_string(i), "kept " + std::to_string(i)));
        ASSERT_TRUE(store.WriteString("Big", "Value", BigValue(0)));
    }
    int lastCounter = -1;
    for (int round = 0; round < 8; ++round) {
        int started[2];
        ASSERT_EQ(pipe(started), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(started[0]);
            WriteForever(file, started[1]);
        }
        close(started[1]);
        char byte = 0;
        const bool childWrote = read(started[0], &byte, 1) == 1;
        close(started[0]);
        if (!childWrote) kill(child, SIGKILL);
        ASSERT_TRUE(childWrote) << "round " << round << ": the child ended before its first writes";
        // Different delays land the kill in different phases of appends and rewrites.
        std::this_thread::sleep_for(std::chrono::milliseconds(30 + 23 * round));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        IniSettingsStore store(file);
        for (int i = 0; i < 50; ++i) {
            ASSERT_EQ(store.GetString("Keep", "Key" + std::to_string(i)), "kept " + std::to_string(i)) << "round " << round;
        }
        EXPECT_TRUE(IsSomeBigValue(store.GetString("Big", "Value"))) << "round " << round;
        const int counter = store.GetInt("Big", "Counter", -1);
        EXPECT_GE(counter, 0) << "round " << round << ": the child never got to write";
        lastCounter = counter;
    }
    std::printf("last counter before the kill: %d\n", lastCounter);
}
