// A second start of the real player hands its command line to the running
// one and ends without becoming a player.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/PlayerApp.h"
#include "ui/SkinFrameWnd.h"

namespace {
QString ProfileFile() { return QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME")) + "/Orvantis/profile.ini"; }

// Starts the real program and keeps this process's event loop turning until it ends.
int RunPlayer(const QStringList& arguments, int timeoutMs = 20000) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(BRELUNE3_BINARY, arguments);
    if (!process.waitForStarted(5000)) return -1;
    QElapsedTimer clock;
    clock.start();
    while (process.state() != QProcess::NotRunning && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return -2;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
}

// The main window records the hand-overs it receives, bytes as sent.
class RecordingMainWnd : public SkinFrameWnd {
public:
    using SkinFrameWnd::SkinFrameWnd;
    std::vector<std::string> received;
    DECLARE_MESSAGE_TABLE()

private:
    LRESULT OnCopyData(WPARAM, LPARAM lParam) {
        const auto* data = reinterpret_cast<const CopyDataStruct*>(lParam);
        received.emplace_back(static_cast<const char*>(data->lpData), data->cbData);
        return 0;
    }
};

const MessageMap* RecordingMainWnd::MessageTable() {
    static const MessageEntry entries[] = {OnMessage(WM_COPYDATA, &RecordingMainWnd::OnCopyData)};
    static const MessageMap table{SkinFrameWnd::MessageTable(), entries};
    return &table;
}

class FirstInstance : public PlayerApp {
public:
    explicit FirstInstance(std::string commandLine)
        : PlayerApp(std::move(commandLine), SW_SHOWNORMAL, "/first/brelune3", "brelune3") {}
    bool Start() { return InitInstance(); }
    int Stop() {
        if (MainWnd()) MainWnd()->SendMessage(WM_CLOSE, 0, 0);
        return ExitInstance();
    }
    RecordingMainWnd* wnd = nullptr;

protected:
    SkinFrameWnd* NewMainWindow(SettingsStore& store) override { return wnd = new RecordingMainWnd(store); }
};
}  // namespace

TEST(SecondStart, HandsTheRemainingCommandLineToTheFirstAndEndsWithoutBecomingAPlayer) {
    FirstInstance first("-DDE");
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(first.StartHidden());
    ASSERT_FALSE(first.wnd->Widget()->isVisible());
    ASSERT_TRUE(QFile::exists(ProfileFile()));

    struct Case {
        const char* what;
        QStringList arguments;
        std::optional<std::string> handedOver;  // the text without its terminating zero
    } cases[] = {
        {"a file", {"C:\\a.mp3"}, "C:\\a.mp3"},
        {"a name with a blank", {"my song.mp3"}, "\"my song.mp3\""},
        {"the option before a file", {"-DDE", "C:\\a.mp3"}, " C:\\a.mp3"},
        {"the option inside a name", {"C:\\x-DDEy.mp3"}, "C:\\xy.mp3"},
        {"lower-case option", {"-dde"}, "-dde"},
        {"only the option", {"/DDE"}, std::nullopt},
        {"nothing", {}, std::nullopt},
    };
    for (const Case& c : cases) {
        first.wnd->received.clear();
        first.wnd->ShowWindow(SW_HIDE);
        QFile::remove(ProfileFile());

        EXPECT_EQ(RunPlayer(c.arguments), 0) << c.what;

        if (c.handedOver) {
            ASSERT_EQ(first.wnd->received.size(), 1u) << c.what;
            EXPECT_EQ(first.wnd->received[0], *c.handedOver + '\0') << c.what;
        } else {
            EXPECT_TRUE(first.wnd->received.empty()) << c.what;
        }
        EXPECT_TRUE(first.wnd->Widget()->isVisible()) << c.what << ": the first is shown normally";
        EXPECT_FALSE(QFile::exists(ProfileFile())) << c.what << ": the second wrote ProgramFile";
    }
    EXPECT_EQ(first.Stop(), 0);
}

TEST(SecondStart, TwoRealPlayersLeaveOneRunning) {
    QFile::remove(ProfileFile());
    QProcess first;
    first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start(BRELUNE3_BINARY, {});
    ASSERT_TRUE(first.waitForStarted(5000));
    // The first writes ProgramFile once it holds the instance and listens.
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(ProfileFile()) && clock.elapsed() < 10000) first.waitForFinished(20);
    ASSERT_TRUE(QFile::exists(ProfileFile()));
    QFile profile(ProfileFile());
    ASSERT_TRUE(profile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(profile.readAll().contains(QByteArray("ProgramFile=") + BRELUNE3_BINARY));
    profile.close();
    QFile::remove(ProfileFile());

    EXPECT_EQ(RunPlayer({"song.mp3"}), 0);
    EXPECT_FALSE(QFile::exists(ProfileFile()));
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished(5000);
}
