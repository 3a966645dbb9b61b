// The floor under bench_player_cost's figures: the least a player built on
// the same libraries and the same timing can cost. It shows a Qt Widgets
// window with a menu bar and a face that repaints one small rectangle a
// second, decodes with libmpg123 in bursts of five frames every five frame
// durations on the window's own event loop (a Qt timer, as the player's
// tick), and feeds an SDL2 device with the player's device period (the
// longest power of two of at most 100 ms). Nothing else: no settings, no
// single instance, no automation, no display items, no copies beyond the
// one into the device ring.
//
// It is measured by the same harness as the player, from outside:
//
//   BRELUNE3_PLAYER=build/bench/player/bench_floor_player build/bench/player/bench_player_cost 60
//
// so any figure the player cannot go below is one this program reads too.
#include <mpg123.h>
#include <SDL.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

namespace {
constexpr int kFramesPerTick = 5;

// The decoded audio between the timer's bursts and the device's callback.
struct Ring {
    std::mutex lock;
    // As much as the player's sixteen output buffers hold.
    std::vector<unsigned char> bytes = std::vector<unsigned char>(16 * 41472);
    std::size_t readAt = 0, filled = 0;

    void Write(const unsigned char* data, std::size_t size) {
        const std::lock_guard<std::mutex> hold(lock);
        size = std::min(size, bytes.size() - filled);
        const std::size_t at = (readAt + filled) % bytes.size();
        const std::size_t first = std::min(size, bytes.size() - at);
        std::memcpy(&bytes[at], data, first);
        std::memcpy(&bytes[0], data + first, size - first);
        filled += size;
    }
    void Read(unsigned char* out, std::size_t size) {
        const std::lock_guard<std::mutex> hold(lock);
        const std::size_t take = std::min(size, filled);
        const std::size_t first = std::min(take, bytes.size() - readAt);
        std::memcpy(out, &bytes[readAt], first);
        std::memcpy(out + first, &bytes[0], take - first);
        std::memset(out + take, 0, size - take);
        readAt = (readAt + take) % bytes.size();
        filled -= take;
    }
};

void FillDevice(void* ring, Uint8* out, int size) { static_cast<Ring*>(ring)->Read(out, std::size_t(size)); }

class Face : public QWidget {
public:
    int seconds = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(16, 40, 16));
        painter.fillRect(QRect(10 + (seconds % 10) * 8, 10, 6, 10), QColor(120, 230, 120));
    }
};
}  // namespace

int main(int argc, char** argv) {
    // Repaints go to the X server the way the player sends them.
    qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_floor_player file.mp3\n");
        return 2;
    }
    mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_format_none(decoder);
    mpg123_format2(decoder, 0, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_open(decoder, argv[1]) != MPG123_OK || mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }

    QMainWindow window;
    window.menuBar()->addMenu("&File")->addAction("E&xit", &app, &QApplication::quit);
    window.menuBar()->addMenu("&Options");
    auto* face = new Face;
    window.setCentralWidget(face);
    window.resize(275, 136);
    window.show();

    Ring ring;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 1;
    SDL_AudioSpec wanted{};
    wanted.freq = int(rate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = Uint8(channels);
    wanted.samples = 1;
    while (wanted.samples * 2 * 10 <= rate) wanted.samples *= 2;
    wanted.callback = FillDevice;
    wanted.userdata = &ring;
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0) return 1;

    const int frameSamples = int(mpg123_spf(decoder));
    const int tickMs = int(kFramesPerTick * frameSamples * 1000 / rate);
    long long decodedFrames = 0;
    const auto decodeBurst = [&] {
        for (int i = 0; i < kFramesPerTick; ++i) {
            off_t number = 0;
            unsigned char* audio = nullptr;
            std::size_t size = 0;
            if (mpg123_decode_frame(decoder, &number, &audio, &size) != MPG123_OK) {
                QApplication::quit();
                return;
            }
            ring.Write(audio, size);
            ++decodedFrames;
        }
        const int seconds = int(decodedFrames * frameSamples / rate);
        if (seconds != face->seconds) {
            face->seconds = seconds;
            face->update(QRect(10, 10, 80, 10));
        }
    };
    // A pre-roll before the device starts, as the player has.
    for (int i = 0; i < 8; ++i) decodeBurst();
    SDL_PauseAudioDevice(device, 0);
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, decodeBurst);
    tick.start(tickMs);
    const int status = app.exec();
    SDL_CloseAudioDevice(device);
    mpg123_delete(decoder);
    return status;
}
