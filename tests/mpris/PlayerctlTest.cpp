// The real player's media controls, driven and read by playerctl (what
// status bars and desktops use) and by a plain D-Bus client, on a private
// session bus: status, metadata, the transport commands, OpenUri, the
// errors for what it cannot play, a second start, and quitting.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/shell/FileUri.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/TaggedCopy.h"
#include "tests/support/TestEnvironment.h"

namespace {
namespace fs = std::filesystem;

class BusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(testbus::Start()); }
    void TearDown() override { testbus::Stop(); }
};
const auto* const busEnvironment = ::testing::AddGlobalTestEnvironment(new BusEnvironment);

const QString kService = "org.mpris.MediaPlayer2.brelune3";
const QString kPath = "/org/mpris/MediaPlayer2";
const QString kPlayer = "org.mpris.MediaPlayer2.Player";

struct Run {
    int status = -1;
    std::string out;
    std::string err;
};

Run Playerctl(const QStringList& args) {
    QProcess tool;
    tool.start("playerctl", QStringList{"--player=brelune3"} + args);
    Run run;
    if (!tool.waitForFinished(30000)) {
        tool.kill();
        tool.waitForFinished();
        return run;
    }
    run.status = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.out = tool.readAllStandardOutput().trimmed().toStdString();
    run.err = tool.readAllStandardError().toStdString();
    return run;
}

// Asks again until the answer is what is wanted; the answer last seen.
std::string WaitForOutput(const QStringList& args, const std::function<bool(const std::string&)>& wanted,
                          int ms = 20000) {
    QElapsedTimer clock;
    clock.start();
    std::string seen;
    while (clock.elapsed() < ms) {
        seen = Playerctl(args).out;
        if (wanted(seen)) break;
        QThread::msleep(100);
    }
    return seen;
}

std::string WaitForOutput(const QStringList& args, const std::string& expected) {
    return WaitForOutput(args, [&](const std::string& seen) { return seen == expected; });
}

// A player of its own for each test, shown offscreen, with the sound going nowhere.
struct Player {
    QProcess process;
    explicit Player(const QStringList& args) {
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(BRELUNE3_BINARY, args);
    }
    ~Player() {
        if (process.state() == QProcess::NotRunning) return;
        process.terminate();
        if (!process.waitForFinished(10000)) process.kill();
        process.waitForFinished();
    }
};

// Copies of a fifteen-second fixture in a folder of the test's own.
struct Tracks {
    fs::path dir;
    std::string tagged;
    std::string plain;
    std::string blank;
    Tracks() {
        static int serial = 0;
        dir = fs::path(testenv::Home()) / ("mpris" + std::to_string(++serial));
        fs::create_directories(dir);
        const std::string source = testenv::FixturesDir() + "/l3_mpeg1_44k_stereo_15s_64k.mp3";
        tagged = (dir / "tagged.mp3").string();
        plain = (dir / "plain.mp3").string();
        blank = (dir / "with blank.mp3").string();
        EXPECT_TRUE(testsupport::WriteTaggedCopy(source, tagged, {"Tone Title", "Tone Artist", "Tone Album"},
                                                 testsupport::TagKind::Id3v2));
        fs::copy_file(source, plain);
        fs::copy_file(source, blank);
    }
};

const QStringList kMetadata{"metadata", "--format",
                            "{{mpris:trackid}}|{{title}}|{{artist}}|{{album}}|{{xesam:url}}"};

std::string Metadata(int track, const std::string& title, const std::string& artist, const std::string& album,
                     const std::string& path) {
    return "'/org/orvantis/Brelune3/Track/" + std::to_string(track) + "'|" + title + "|" + artist + "|" + album + "|" +
           FileUriFromLocalPath(path);
}
}  // namespace

TEST(MprisPlayerctl, StatusMetadataAndTheTransportCommandsFollowThePlayer) {
    Tracks t;
    Player player({QString::fromStdString(t.tagged), QString::fromStdString(t.plain)});
    ASSERT_EQ(WaitForOutput({"status"}, "Playing"), "Playing");
    EXPECT_EQ(WaitForOutput(kMetadata, Metadata(1, "Tone Title", "Tone Artist", "Tone Album", t.tagged)),
              Metadata(1, "Tone Title", "Tone Artist", "Tone Album", t.tagged));
    const std::string length =
        WaitForOutput({"metadata", "mpris:length"}, [](const std::string& seen) { return !seen.empty(); });
    EXPECT_NEAR(std::stod("0" + length), 15.0e6, 0.5e6) << "the length, in microseconds";

    // Every change is signalled: a follower sees the pause and the resume.
    QProcess follow;
    follow.start("playerctl", {"--player=brelune3", "--follow", "status"});
    ASSERT_TRUE(follow.waitForStarted());
    std::string followed;
    const auto followUntil = [&](const std::string& lines) {
        QElapsedTimer clock;
        clock.start();
        while (followed.find(lines) == std::string::npos && clock.elapsed() < 10000) {
            follow.waitForReadyRead(100);
            followed += follow.readAllStandardOutput().toStdString();
        }
        return followed.find(lines) != std::string::npos;
    };
    ASSERT_TRUE(followUntil("Playing\n")) << followed;
    // The position counts what the device has played: let it play a little.
    WaitForOutput({"position"}, [](const std::string& seen) { return std::stod("0" + seen) > 0.5; });
    EXPECT_EQ(Playerctl({"play-pause"}).status, 0);
    EXPECT_EQ(WaitForOutput({"status"}, "Paused"), "Paused");
    const double paused = std::stod("0" + Playerctl({"position"}).out);
    EXPECT_GT(paused, 0.0);
    QThread::msleep(300);
    EXPECT_EQ(std::stod("0" + Playerctl({"position"}).out), paused) << "no time passes while paused";
    EXPECT_EQ(Playerctl({"pause"}).status, 0);
    EXPECT_EQ(Playerctl({"status"}).out, "Paused") << "Pause does not resume";
    EXPECT_EQ(Playerctl({"play-pause"}).status, 0);
    EXPECT_EQ(WaitForOutput({"status"}, "Playing"), "Playing");
    EXPECT_TRUE(followUntil("Playing\nPaused\nPlaying\n")) << followed;
    follow.kill();
    follow.waitForFinished();

    // A file without tags is shown by its name.
    EXPECT_EQ(Playerctl({"next"}).status, 0);
    EXPECT_EQ(WaitForOutput(kMetadata, Metadata(2, "plain.mp3", "", "", t.plain)),
              Metadata(2, "plain.mp3", "", "", t.plain));
    EXPECT_EQ(WaitForOutput({"status"}, "Playing"), "Playing");
    EXPECT_EQ(Playerctl({"previous"}).status, 0);
    EXPECT_EQ(WaitForOutput({"metadata", "mpris:trackid"}, "'/org/orvantis/Brelune3/Track/1'"),
              "'/org/orvantis/Brelune3/Track/1'");
    EXPECT_EQ(Playerctl({"stop"}).status, 0);
    EXPECT_EQ(WaitForOutput({"status"}, "Stopped"), "Stopped");

    // What a desktop hands over: a percent-encoded file location.
    EXPECT_EQ(Playerctl({"open", QString::fromStdString(FileUriFromLocalPath(t.blank))}).status, 0);
    EXPECT_EQ(WaitForOutput({"status"}, "Playing"), "Playing");
    EXPECT_EQ(WaitForOutput(kMetadata, Metadata(1, "with blank.mp3", "", "", t.blank)),
              Metadata(1, "with blank.mp3", "", "", t.blank));
}

TEST(MprisPlayerctl, WhatCannotBePlayedIsRefusedAndAQuitLeavesNoNameBehind) {
    Tracks t;
    Player player({QString::fromStdString(t.plain)});
    ASSERT_EQ(WaitForOutput({"status"}, "Playing"), "Playing");
    QDBusInterface root(kService, kPath, "org.mpris.MediaPlayer2");
    QDBusInterface controls(kService, kPath, kPlayer);
    ASSERT_TRUE(controls.isValid()) << controls.lastError().message().toStdString();
    EXPECT_EQ(root.property("Identity").toString(), "Brelune3");
    EXPECT_EQ(root.property("DesktopEntry").toString(), "org.orvantis.Brelune3");
    EXPECT_FALSE(controls.property("CanSeek").toBool());

    const struct {
        QString uri;
        QString error;
    } refused[] = {
        {QString::fromStdString(FileUriFromLocalPath((t.dir / "missing.mp3").string())),
         "org.freedesktop.DBus.Error.FileNotFound"},
        {QString::fromStdString(FileUriFromLocalPath(t.dir.string())), "org.freedesktop.DBus.Error.NotSupported"},
        {"ftp://example.org/a.mp3", "org.freedesktop.DBus.Error.NotSupported"},
        {"not a location", "org.freedesktop.DBus.Error.InvalidArgs"},
    };
    for (const auto& c : refused) {
        const QDBusMessage reply = controls.call("OpenUri", c.uri);
        EXPECT_EQ(reply.errorName(), c.error) << c.uri.toStdString();
        EXPECT_FALSE(reply.errorMessage().isEmpty());
    }
    const QDBusMessage volume = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        kService, kPath, "org.freedesktop.DBus.Properties", "Set")
        << kPlayer << "Volume" << QVariant::fromValue(QDBusVariant(0.5)));
    EXPECT_EQ(volume.type(), QDBusMessage::ErrorMessage) << "the volume is fixed";
    EXPECT_EQ(Playerctl({"status"}).out, "Playing") << "refusals leave the track playing";
    EXPECT_EQ(Playerctl({"metadata", "title"}).out, "plain.mp3");

    // A second start hands its file to the first, which keeps the one name.
    QProcess second;
    second.start(BRELUNE3_BINARY, {QString::fromStdString(t.tagged)});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(WaitForOutput({"metadata", "title"}, "Tone Title"), "Tone Title");
    QProcess list;
    list.start("playerctl", {"--list-all"});
    ASSERT_TRUE(list.waitForFinished(10000));
    EXPECT_EQ(list.readAllStandardOutput().trimmed().toStdString(), "brelune3");

    // The reply comes first; the player then closes and its name goes with it.
    const QDBusMessage quit = root.call("Quit");
    EXPECT_EQ(quit.type(), QDBusMessage::ReplyMessage) << quit.errorMessage().toStdString();
    ASSERT_TRUE(player.process.waitForFinished(20000));
    EXPECT_EQ(player.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.process.exitCode(), 0);
    EXPECT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(kService).value());
    const QDBusMessage late = controls.call("Play");
    EXPECT_EQ(late.type(), QDBusMessage::ErrorMessage) << "a client left holding the object gets an error";
    EXPECT_NE(Playerctl({"status"}).status, 0);
}
