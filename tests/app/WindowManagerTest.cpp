// The real player on a real X server (Xvfb), under a real window manager
// (openbox) and without one, driven with real pointer and key input
// (xdotool): where the window is shown, stored and shown again, the caption
// toggle by double click, and dragging the panel with the caption hidden.
// Positions are the outer (frame) rectangle's, read from the X server.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <optional>
#include <ostream>

// Readable positions in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QPoint& p, std::ostream* os) { *os << "(" << p.x() << ", " << p.y() << ")"; }
QT_END_NAMESPACE

namespace {
// A ceiling, not a pace: a sanitizer build on a loaded machine can take
// many seconds to show its window.
constexpr int kTimeoutMs = 30000;

// Runs a helper program to its end and returns what it printed.
QString Output(const QString& display, const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

void Sleep(int ms) { QThread::msleep(ms); }

// An X server of its own on a free display, with openbox on it when asked.
class XServer {
public:
    explicit XServer(bool withWindowManager) {
        xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        QElapsedTimer clock;
        clock.start();
        QString number;
        while (clock.elapsed() < kTimeoutMs && !number.endsWith('\n')) {
            xvfb.waitForReadyRead(200);
            number += QString::fromLatin1(xvfb.readAllStandardOutput());
        }
        if (number.trimmed().isEmpty()) return;
        name = ":" + number.trimmed();
        if (!withWindowManager) return;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", name);
        wm.setProcessEnvironment(env);
        wm.start("openbox", {"--sm-disable"});
        while (clock.elapsed() < kTimeoutMs &&
               !Output(name, "xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id"))
            Sleep(50);
    }
    ~XServer() {
        for (QProcess* p : {&wm, &xvfb}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(3000)) p->kill();
            p->waitForFinished();
        }
    }
    bool Ready() const { return !name.isEmpty(); }
    QString Run(const QString& program, const QStringList& arguments) const {
        return Output(name, program, arguments);
    }

    QString name;

private:
    QProcess xvfb;
    QProcess wm;
};

struct Shown {
    QRect outer;   // the frame, as the window manager draws it
    QRect client;  // the player's own window
    bool framed = false;
};

// One run of the player on `x`, with its settings in `config`.
class Player {
public:
    Player(const XServer& x, const QString& config) : x(x) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", x.name);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", config);
        env.insert("SDL_AUDIODRIVER", "dummy");
        process.setProcessEnvironment(env);
        process.start(BRELUNE3_BINARY, {});
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kTimeoutMs && window.isEmpty()) {
            window = x.Run("xdotool", {"search", "--onlyvisible", "--name", "^Brelune3$"}).section('\n', 0, 0);
            if (window.isEmpty()) Sleep(100);
        }
    }
    ~Player() {
        if (process.state() == QProcess::NotRunning) return;
        process.kill();
        process.waitForFinished();
    }
    bool Found() const { return !window.isEmpty(); }

    // Where the window is once it has stopped moving.
    Shown Settled() const {
        Shown last = Now();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kTimeoutMs) {
            Sleep(300);
            const Shown now = Now();
            if (now.outer == last.outer && now.client == last.client) return now;
            last = now;
        }
        return last;
    }

    QPoint ClientPoint(const Shown& shown, QPoint fromBottomLeft) const {
        return {shown.client.left() + fromBottomLeft.x(), shown.client.bottom() - fromBottomLeft.y()};
    }

    void DoubleClick(QPoint at) const {
        x.Run("xdotool", {"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()), "click",
                          "--repeat", "2", "--delay", "80", "1"});
        // Past the double-click time, so the next click starts afresh.
        Sleep(600);
    }

    void Drag(QPoint from, QPoint by) const {
        x.Run("xdotool", {"mousemove", "--sync", QString::number(from.x()), QString::number(from.y()), "mousedown",
                          "1"});
        const int steps = 8;
        for (int i = 1; i <= steps; ++i) {
            x.Run("xdotool", {"mousemove", "--sync", QString::number(from.x() + by.x() * i / steps),
                              QString::number(from.y() + by.y() * i / steps)});
            Sleep(30);
        }
        Sleep(200);
        x.Run("xdotool", {"mouseup", "1"});
        Sleep(600);
    }

    // Ctrl+Q, as a user quits; true once the player has ended by itself.
    bool Quit(bool withWindowManager) {
        x.Run("xdotool", {withWindowManager ? "windowactivate" : "windowfocus", "--sync", window});
        x.Run("xdotool", {"key", "ctrl+q"});
        return process.waitForFinished(kTimeoutMs) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

private:
    Shown Now() const {
        Shown shown;
        const QString info = x.Run("xwininfo", {"-id", window});
        const auto number = [&](const char* label) {
            const QRegularExpression pattern(QString(label) + R"(:\s+(-?\d+))");
            return pattern.match(info).captured(1).toInt();
        };
        shown.client = QRect(number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                             number("Height"));
        // left, right, top, bottom
        const QRegularExpression extents(R"(=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+))");
        const auto match = extents.match(x.Run("xprop", {"-id", window, "_NET_FRAME_EXTENTS"}));
        QMargins frame;
        if (match.hasMatch())
            frame = QMargins(match.captured(1).toInt(), match.captured(3).toInt(), match.captured(2).toInt(),
                             match.captured(4).toInt());
        shown.framed = frame.top() > 0;
        shown.outer = shown.client.marginsAdded(frame);
        return shown;
    }

    const XServer& x;
    QProcess process;
    QString window;
};

// The last value written for a key of "Settings".
std::optional<int> Stored(const QString& config, const QString& key) {
    QFile file(config + "/Orvantis/brelune3/settings.ini");
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    std::optional<int> value;
    const QRegularExpression line("^" + key + R"(=(?:i:)?\s*(-?\d+)\s*$)", QRegularExpression::MultilineOption);
    auto matches = line.globalMatch(QString::fromUtf8(file.readAll()));
    while (matches.hasNext()) value = matches.next().captured(1).toInt();
    return value;
}

void WriteSettings(const QString& config, const QString& text) {
    QDir().mkpath(config + "/Orvantis/brelune3");
    QFile file(config + "/Orvantis/brelune3/settings.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

QPoint BottomRight(const QRect& r) { return {r.x() + r.width(), r.y() + r.height()}; }

// A point on the panel, clear of the buttons: just below the display.
const QPoint kOnThePanel(100, 50);  // from the client area's bottom-left corner
}  // namespace

TEST(WindowManager, StartAndExitKeepTheStoredAndShownOuterPositionWithTheCaptionShownOrHidden) {
    XServer x(true);
    ASSERT_TRUE(x.Ready());
    for (const int titlebar : {1, 0}) {
        SCOPED_TRACE(titlebar ? "caption shown" : "caption hidden");
        QTemporaryDir config;
        // Written by hand, as a user would.
        WriteSettings(config.path(), QString("[Settings]\nWindowPosX=240\nWindowPosY=180\nTitlebar=%1\n").arg(titlebar));
        for (int run = 0; run < 5; ++run) {
            SCOPED_TRACE(run);
            Player player(x, config.path());
            ASSERT_TRUE(player.Found());
            const Shown shown = player.Settled();
            EXPECT_EQ(shown.framed, titlebar == 1);
            EXPECT_EQ(shown.outer.topLeft(), QPoint(240, 180));
            ASSERT_TRUE(player.Quit(true));
            EXPECT_EQ(Stored(config.path(), "WindowPosX"), 240);
            EXPECT_EQ(Stored(config.path(), "WindowPosY"), 180);
            EXPECT_EQ(Stored(config.path(), "Titlebar"), titlebar);
        }
    }
}

TEST(WindowManager, DoubleClicksToggleTheCaptionAroundAFixedBottomRightCorner) {
    XServer x(true);
    ASSERT_TRUE(x.Ready());
    // Started with the caption hidden, the frame is learnt only at the first show.
    for (const int titlebar : {1, 0}) {
        SCOPED_TRACE(titlebar ? "started with the caption" : "started without the caption");
        QTemporaryDir config;
        WriteSettings(config.path(), QString("[Settings]\nTitlebar=%1\n").arg(titlebar));
        Player player(x, config.path());
        ASSERT_TRUE(player.Found());
        Shown shown = player.Settled();
        ASSERT_EQ(shown.framed, titlebar == 1);
        const QPoint corner = BottomRight(shown.outer);
        for (int click = 1; click <= 6; ++click) {
            SCOPED_TRACE(click);
            player.DoubleClick(player.ClientPoint(shown, kOnThePanel));
            shown = player.Settled();
            EXPECT_EQ(shown.framed, (click % 2 == 0) == (titlebar == 1)) << "hidden, shown, hidden ...";
            EXPECT_EQ(BottomRight(shown.outer), corner);
        }
        ASSERT_TRUE(player.Quit(true));
        EXPECT_EQ(Stored(config.path(), "WindowPosX"), shown.outer.x());
        EXPECT_EQ(Stored(config.path(), "WindowPosY"), shown.outer.y());
    }
}

TEST(WindowManager, DraggingThePanelWithTheCaptionHiddenMovesTheWindowByTheDrag) {
    for (const bool withWindowManager : {true, false}) {
        SCOPED_TRACE(withWindowManager ? "openbox" : "no window manager");
        XServer x(withWindowManager);
        ASSERT_TRUE(x.Ready());
        QTemporaryDir config;
        WriteSettings(config.path(), "[Settings]\nWindowPosX=200\nWindowPosY=150\nTitlebar=0\n");
        Player player(x, config.path());
        ASSERT_TRUE(player.Found());
        const Shown before = player.Settled();
        ASSERT_EQ(before.outer.topLeft(), QPoint(200, 150));
        const QPoint by(90, 60);
        player.Drag(player.ClientPoint(before, kOnThePanel), by);
        const Shown after = player.Settled();
        EXPECT_FALSE(after.framed);
        EXPECT_EQ(after.outer.topLeft(), before.outer.topLeft() + by);
        ASSERT_TRUE(player.Quit(withWindowManager));
        EXPECT_EQ(Stored(config.path(), "WindowPosX"), after.outer.x());
        EXPECT_EQ(Stored(config.path(), "WindowPosY"), after.outer.y());
        EXPECT_EQ(Stored(config.path(), "Titlebar"), 0);
    }
}
