// Asked to end by a signal, the real player closes its window as Exit does
// and keeps its settings.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/EventWait.h"

namespace {
QString SettingsFile() {
    return QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME")) + "/Orvantis/brelune3/settings.ini";
}

// CPU seconds the process has used so far (user and system).
double CpuSeconds(qint64 pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Fields after the command name, which is in parentheses and may hold blanks.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i == 14 || i == 15) ticks += std::stol(field);
    return double(ticks) / double(sysconf(_SC_CLK_TCK));
}

using testsupport::WaitFor;
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

TEST(Termination, SigtermWhileAMessageBoxIsOpenClosesTheBoxAndThePlayerWithoutSpinning) {
    QFile::remove(SettingsFile());
    QProcess player;
    // A file that cannot be opened: the player shows "Unable to play" and
    // waits for an answer, inside the open.
    player.start(BRELUNE3_BINARY, {"/nonexistent/missing.mp3"});
    ASSERT_TRUE(player.waitForStarted(5000));
    ASSERT_TRUE(WaitFor([] { return QFile::exists(SettingsFile()); }, 10000));
    WaitFor([] { return false; }, 1500);
    const qint64 pid = player.processId();
    const double before = CpuSeconds(pid);
    kill(static_cast<pid_t>(pid), SIGTERM);
    // Spinning, it would never end by itself; a second signal would kill it.
    ASSERT_TRUE(WaitFor([&] { return player.state() == QProcess::NotRunning; }, 10000))
        << "still running after SIGTERM, " << CpuSeconds(pid) - before << " s of CPU since";
    EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.exitCode(), 0);
    QFile settings(SettingsFile());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("WindowPosX="));
}

TEST(NoSoundDevice, ThePlayerSaysSoInOneCleanLineOnStandardErrorAndPlaysOn) {
    QFile::remove(SettingsFile());
    // An ALSA that knows no device at all, so that no machine's sound card
    // is found; the player falls back to playing into nothing.
    QTemporaryFile noDevices;
    ASSERT_TRUE(noDevices.open());
    QProcess player;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SDL_AUDIODRIVER", "alsa");
    env.insert("ALSA_CONFIG_PATH", noDevices.fileName());
    env.insert("QT_LOGGING_RULES", "qt.qpa.*=false");
    player.setProcessEnvironment(env);
    player.start(BRELUNE3_BINARY, {BRELUNE_FIXTURES_DIR "/l3_mpeg1_44k_stereo_5s.mp3"});
    ASSERT_TRUE(player.waitForStarted(5000));
    player.setReadChannel(QProcess::StandardError);
    // Told once the device is open; the box that says so is open meanwhile.
    EXPECT_TRUE(WaitFor([&] { return player.peek(1 << 16).contains("playing without sound"); }, 15000));
    WaitFor([] { return false; }, 500);
    kill(static_cast<pid_t>(player.processId()), SIGTERM);
    ASSERT_TRUE(WaitFor([&] { return player.state() == QProcess::NotRunning; }, 10000));
    const QString errors = QString::fromLocal8Bit(player.readAllStandardError());
    QStringList lines;
    for (const QString& line : errors.split('\n', Qt::SkipEmptyParts))
        // Qt's own notes about the test's offscreen platform are not ours,
        // and this test starts no session bus for the automation service.
        if (!line.startsWith("QStandardPaths:") && !line.startsWith("This plugin does not support") &&
            !line.startsWith("brelune3: no D-Bus session bus"))
            lines << line;
    ASSERT_EQ(lines.size(), 1) << errors.toStdString();
    EXPECT_TRUE(lines[0].startsWith("brelune3: no sound device could be opened (")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("); playing without sound")) << lines[0].toStdString();
    EXPECT_FALSE(errors.contains("ALSA lib"));
}
