// Start-up time of the player as a user sees it: from just before the
// program is executed to the moment its window first shows the skin on the
// X server. Median of 10 starts (after one unmeasured start that warms the
// file cache), each a first start in fresh temporary HOME and XDG folders, on
// an Xvfb and a session bus of the bench's own.
//
//   bench_startup [runs] [file ...]
//
// With files, each start is given them, as "Open with" from a file manager
// does: the window then also opens the first and starts the device.
//
// BRELUNE3_PLAYER names another build of the player to time (another
// branch's, to compare).
//
// Why it reads what it reads: nothing inside the player can say when its
// pixels are on the screen (a paint handler that has returned has only drawn
// into a buffer that still has to reach the server), so the bench watches the
// server, as a second client. It listens on the root window for the player's
// window being mapped, then asks the DAMAGE extension to report every change
// of that window's contents, and after each reads the window's pixels back:
// the first read that holds more than one colour is the first paint (a
// mapped window that nothing has painted yet is one colour, its background;
// the skin has many). The time includes one image round trip to the server
// (well under a millisecond for this window). The player is killed once
// measured. Needs xvfb and dbus-daemon.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <poll.h>
#include <vector>

#include "bench/XvfbServer.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/TestEnvironment.h"

namespace {
constexpr int kTimeoutMs = 20000;

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Whether the window shows more than one colour now.
bool ShowsMoreThanBackground(xcb_connection_t* x, xcb_window_t window) {
    auto geometry = std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)>(
        xcb_get_geometry_reply(x, xcb_get_geometry(x, window), nullptr), &std::free);
    if (!geometry) return false;
    auto image = std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)>(
        xcb_get_image_reply(x,
                            xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, geometry->width,
                                          geometry->height, ~0u),
                            nullptr),
        &std::free);
    if (!image) return false;
    const int bytes = xcb_get_image_data_length(image.get());
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
    for (int i = 1; i < bytes / 4; ++i)
        if ((pixels[i] & 0xffffff) != (pixels[0] & 0xffffff)) return true;
    return false;
}

class Watcher {
public:
    explicit Watcher(const std::string& display) {
        x = xcb_connect(display.c_str(), nullptr);
        if (xcb_connection_has_error(x)) return;
        root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(x, &xcb_damage_id);
        if (!damage || !damage->present) return;
        damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
        free(xcb_damage_query_version_reply(x, xcb_damage_query_version(x, 1, 1), nullptr));
        ok = true;
    }
    ~Watcher() { xcb_disconnect(x); }
    bool Ok() const { return ok; }

    // The time of the first paint of any window the player maps; 0 on
    // timeout. Every mapped top-level window is watched, as the main window
    // need not be the first one mapped.
    long long WaitForFirstPaint() {
        const long long end = MonotonicNs() + kTimeoutMs * 1000000LL;
        pollfd wait{xcb_get_file_descriptor(x), POLLIN, 0};
        while (MonotonicNs() < end) {
            xcb_generic_event_t* event = xcb_poll_for_event(x);
            if (!event) {
                if (xcb_connection_has_error(x)) return 0;
                poll(&wait, 1, 50);
                continue;
            }
            const int type = event->response_type & 0x7f;
            bool painted = false;
            if (type == XCB_MAP_NOTIFY) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (!map->override_redirect) {
                    xcb_damage_create(x, xcb_generate_id(x), map->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                    // It may have been painted before the damage object existed.
                    painted = ShowsMoreThanBackground(x, map->window);
                }
            } else if (type == damageEvent) {
                const auto* damage = reinterpret_cast<xcb_damage_notify_event_t*>(event);
                xcb_damage_subtract(x, damage->damage, XCB_NONE, XCB_NONE);
                painted = ShowsMoreThanBackground(x, damage->drawable);
            }
            std::free(event);
            if (painted) return MonotonicNs();
        }
        return 0;
    }

private:
    xcb_connection_t* x = nullptr;
    xcb_window_t root = XCB_NONE;
    int damageEvent = -1;
    bool ok = false;
};

// Milliseconds from exec to first paint, or a negative value on failure.
double StartOnce(const std::string& display, const QStringList& files) {
    QTemporaryDir home;
    if (!home.isValid()) return -1;
    QDir root(home.path());
    for (const char* sub : {"config", "runtime", "cache"}) root.mkpath(sub);
    QFile::setPermissions(root.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", root.filePath("config"));
    env.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
    env.insert("XDG_CACHE_HOME", root.filePath("cache"));
    env.remove("QT_QPA_PLATFORM");
    env.remove("WAYLAND_DISPLAY");
    env.insert("DISPLAY", QString::fromStdString(display));

    Watcher watcher(display);
    if (!watcher.Ok()) return -2;
    QProcess player;
    player.setProcessEnvironment(env);
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const long long started = MonotonicNs();
    player.start(qEnvironmentVariable("BRELUNE3_PLAYER", BRELUNE3_BINARY), files);
    const long long painted = watcher.WaitForFirstPaint();
    player.kill();
    player.waitForFinished(5000);
    if (painted == 0) return -3;
    return double(painted - started) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
    testenv::Prepare();
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    QStringList files;
    for (int i = 2; i < argc; ++i) files << QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath();
    bench::XvfbServer x;
    if (!x.Start() || !testbus::Start()) return 2;
    StartOnce(x.Display(), files);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = StartOnce(x.Display(), files);
        if (ms < 0) {
            std::fprintf(stderr, "start %d failed (%.0f)\n", i + 1, ms);
            testbus::Stop();
            return 1;
        }
        times.push_back(ms);
        std::printf("start %2d: %6.1f ms\n", i + 1, ms);
    }
    testbus::Stop();
    std::sort(times.begin(), times.end());
    std::printf("exec to first paint on the X server: median %.1f ms, min %.1f ms, max %.1f ms over %zu starts "
                "(target 100 ms)\n",
                times.size() % 2 ? times[times.size() / 2] : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2, times.front(), times.back(), times.size());
    return 0;
}
