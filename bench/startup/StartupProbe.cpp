// The player as brelune3 starts it, ending right after the first paint of
// its window: it prints the monotonic clock at that moment for the bench.
#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "app/PlayerApp.h"
#include "ui/SkinFrameWnd.h"
#include "ui/SplitArguments.h"

namespace {
long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

class ProbeWnd : public SkinFrameWnd {
public:
    using SkinFrameWnd::SkinFrameWnd;
    DECLARE_MESSAGE_TABLE()

private:
    LRESULT OnFirstPaint(WPARAM wParam, LPARAM lParam) {
        const LRESULT result = OnPaint(wParam, lParam);
        if (!reported) {
            reported = true;
            std::printf("painted %lld\n", MonotonicNs());
            std::fflush(stdout);
            QCoreApplication::exit(0);
        }
        return result;
    }
    bool reported = false;
};

const MessageMap* ProbeWnd::MessageTable() {
    static const MessageEntry entries[] = {OnMessage(WM_PAINT, &ProbeWnd::OnFirstPaint)};
    static const MessageMap table{SkinFrameWnd::MessageTable(), entries};
    return &table;
}

class ProbeApp : public PlayerApp {
public:
    using PlayerApp::PlayerApp;

protected:
    SkinFrameWnd* NewMainWindow(SettingsStore& store) override { return new ProbeWnd(store); }
};
}  // namespace

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const QString executable = QCoreApplication::applicationFilePath();
    ProbeApp app(JoinArguments(arguments), SW_SHOWNORMAL, executable.toStdString(), "brelune3");
    return app.Run();
}
