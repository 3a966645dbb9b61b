// What the real player keeps out of its memory: while it plays a local file,
// the network module and libcurl (loaded by the first location), QtNetwork
// (single instance needs only a Unix socket) and the image-format plugins
// (its images are all PNG, read without asking the plugins); before it
// plays, SDL and the sound and codec libraries it links too.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/PlayerApp.h"
#include "platform/instance/InstanceSocketPath.h"
#include "tests/support/EventWait.h"
#include "tests/support/TestEnvironment.h"

namespace {
std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether one of the process's threads is SDL's audio thread, which exists
// only while a device plays.
bool DevicePlays(qint64 pid) {
    const QString tasks = QString("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (ReadAll((tasks + "/" + task + "/comm").toStdString()).rfind("SDLAudio", 0) == 0) return true;
    return false;
}

std::string Maps(const QProcess& process) { return ReadAll("/proc/" + std::to_string(process.processId()) + "/maps"); }

// Ends the player as a logout does, and waits for it.
bool Terminate(QProcess& player) {
    ::kill(pid_t(player.processId()), SIGTERM);
    return testsupport::WaitFor([&] { return player.state() == QProcess::NotRunning; }, 10000);
}
}  // namespace

TEST(ResidentLibraries, APlayerOfALocalFileLoadsNoNetworkCodeAndNoImagePlugins) {
    QProcess player;
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.start(BRELUNE3_BINARY, {QString::fromStdString(testenv::FixturesDir() + "/l3_mpeg1_44k_stereo_15s_64k.mp3")});
    ASSERT_TRUE(player.waitForStarted(5000));
    ASSERT_TRUE(testsupport::WaitFor([&] { return DevicePlays(player.processId()); }, 20000));

    const std::string maps = Maps(player);
    for (const char* kept : {"libmpxdec_http", "libcurl", "libQt6Network", "/imageformats/"}) {
        SCOPED_TRACE(kept);
        EXPECT_EQ(maps.find(kept), std::string::npos);
    }
    // Against a false pass: the maps were read from a process that has its libraries.
    EXPECT_NE(maps.find("libQt6Widgets"), std::string::npos);
    EXPECT_NE(maps.find("libSDL2"), std::string::npos);
    EXPECT_TRUE(Terminate(player));
}

TEST(ResidentLibraries, APlayerThatHasNotPlayedHasNoSoundLibraries) {
    QProcess player;
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.start(BRELUNE3_BINARY, QStringList());
    ASSERT_TRUE(player.waitForStarted(5000));
    // Once the first listens, a second start is answered from the first's
    // event loop: when it has ended, the first has made and shown its window.
    const std::optional<std::string> socket = InstanceSocketPath(PlayerApp::kWindowClass);
    ASSERT_TRUE(socket);
    ASSERT_TRUE(testsupport::WaitFor([&] { return QFileInfo::exists(QString::fromStdString(*socket)); }, 20000));
    QProcess second;
    second.start(BRELUNE3_BINARY, QStringList());
    ASSERT_TRUE(second.waitForFinished(20000));
    ASSERT_EQ(second.exitCode(), 0);

    const std::string maps = Maps(player);
    for (const char* kept : {"libSDL2", "libpulse", "libasound"}) {
        SCOPED_TRACE(kept);
        EXPECT_EQ(maps.find(kept), std::string::npos);
    }
    EXPECT_NE(maps.find("libQt6Widgets"), std::string::npos);
    EXPECT_TRUE(Terminate(player));
}
