// Asked to end by a signal, the real player closes its window as Exit does
// and keeps its settings.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <cstdlib>

namespace {
QString SettingsFile() {
    return QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME")) + "/Orvantis/brelune3/settings.ini";
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
}  // namespace

TEST(Termination, EachSignalClosesThePlayerAndSavesItsWindowSettings) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        QFile::remove(SettingsFile());
        QProcess player;
        player.start(BRELUNE3_BINARY, {});
        ASSERT_TRUE(player.waitForStarted(5000));
        // The options are written at creation; the window's place only at close.
        ASSERT_TRUE(WaitFor([] { return QFile::exists(SettingsFile()); }, 10000));
        kill(static_cast<pid_t>(player.processId()), signal);
        ASSERT_TRUE(WaitFor([&] { return player.state() == QProcess::NotRunning; }, 10000));
        EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(player.exitCode(), 0);
        QFile settings(SettingsFile());
        ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
        EXPECT_TRUE(settings.readAll().contains("WindowPosX="));
    }
}
