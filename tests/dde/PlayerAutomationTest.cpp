// The real player and brelune3-ctl on a private session bus whose service
// file starts the player hidden on demand: the command-line client reads,
// watches and drives the player, its exit statuses say what happened, and a
// player without a session bus runs on and says so once.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <csignal>
#include <string>

#include "tests/support/PrivateBus.h"
#include "tests/support/TestEnvironment.h"

namespace {
class BusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(testbus::Start(BRELUNE3_SERVICE_DIR)); }
    void TearDown() override { testbus::Stop(); }
};
const auto* const busEnvironment = ::testing::AddGlobalTestEnvironment(new BusEnvironment);

struct CtlRun {
    int status = -1;
    std::string out;
    std::string err;
};

CtlRun Ctl(const QStringList& args) {
    QProcess ctl;
    ctl.start(BRELUNE3_CTL, args);
    CtlRun run;
    if (!ctl.waitForFinished(60000)) {
        ctl.kill();
        ctl.waitForFinished();
        return run;
    }
    run.status = ctl.exitStatus() == QProcess::NormalExit ? ctl.exitCode() : -1;
    run.out = ctl.readAllStandardOutput().toStdString();
    run.err = ctl.readAllStandardError().toStdString();
    return run;
}

// Reads the watcher's output until it holds `line` (a whole line).
bool WaitForLine(QProcess& watch, std::string& seen, const std::string& line, int ms = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (("\n" + seen).find("\n" + line + "\n") == std::string::npos) {
        if (clock.elapsed() > ms) return false;
        watch.waitForReadyRead(100);
        seen += watch.readAllStandardOutput().toStdString();
    }
    return true;
}
}  // namespace

TEST(PlayerAutomation, TheCtlStartsAHiddenPlayerOnDemandAndDrivesIt) {
    EXPECT_EQ(Ctl({"get", "Time"}).status, 2) << "without --start nothing starts a player";
    const CtlRun first = Ctl({"--start", "get", "Track"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "-1\n");

    QProcess watch;
    watch.start(BRELUNE3_CTL, {"watch", "Time", "trackname", "State"});
    std::string seen;
    ASSERT_TRUE(WaitForLine(watch, seen, "State -1")) << seen;
    EXPECT_EQ(seen.substr(0, 8), "Time -1\n") << "current values first, in the order asked";

    const std::string file = testenv::FixturesDir() + "/l3_mpeg1_44k_stereo_5s.mp3";
    const CtlRun set = Ctl({"exec", "set", "playlist", QString::fromStdString(file)});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_TRUE(WaitForLine(watch, seen, "TrackName " + file)) << seen;
    EXPECT_TRUE(WaitForLine(watch, seen, "State 0")) << seen;
    EXPECT_TRUE(WaitForLine(watch, seen, "Time 1")) << seen;

    EXPECT_EQ(Ctl({"exec", "pause"}).status, 0);
    EXPECT_TRUE(WaitForLine(watch, seen, "State 1")) << seen;
    EXPECT_EQ(Ctl({"exec", "PLAY"}).status, 0);
    seen.clear();
    EXPECT_TRUE(WaitForLine(watch, seen, "State 0")) << seen;

    const CtlRun list = Ctl({"list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 14) << list.out;
    EXPECT_NE(list.out.find("PlayList " + file + "\n"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("Layer 3\n"), std::string::npos) << list.out;

    const CtlRun refused = Ctl({"exec", "rewind"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("refused"), std::string::npos);
    EXPECT_EQ(Ctl({"get", "Volume"}).status, 1);
    EXPECT_EQ(Ctl({"frobnicate"}).status, 1);
    const CtlRun help = Ctl({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("watch ITEM..."), std::string::npos);

    // Acknowledged first; the player then closes, and its watcher sees it go.
    EXPECT_EQ(Ctl({"exec", "exit"}).status, 0);
    ASSERT_TRUE(watch.waitForFinished(20000));
    EXPECT_EQ(watch.exitCode(), 2);
    EXPECT_EQ(Ctl({"get", "Time"}).status, 2);
}

TEST(PlayerAutomation, WithoutASessionBusThePlayerRunsOnAndSaysSoOnce) {
    QProcess player;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString("unix:path=" + testenv::Home() + "/no-bus"));
    player.setProcessEnvironment(env);
    player.start(BRELUNE3_BINARY, {});
    ASSERT_TRUE(player.waitForStarted());
    const pid_t pid = pid_t(player.processId());
    ASSERT_FALSE(player.waitForFinished(2000)) << "the player keeps running";
    ::kill(pid, SIGTERM);
    ASSERT_TRUE(player.waitForFinished(10000));
    EXPECT_EQ(player.exitCode(), 0);
    const std::string err = player.readAllStandardError().toStdString();
    // Qt's offscreen platform may add lines of its own.
    const std::string said = "running without automation";
    const auto first = err.find(said);
    EXPECT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find(said, first + 1), std::string::npos) << err;
}
