// The floor under bench_player_cost's figures: the least a player built on
// the same libraries and the same timing can cost. It shows a Qt Widgets
// window with a menu bar and a face that repaints one small rectangle a
// second, decodes with libmpg123 in bursts of five frames every five frame
// durations on the window's own event loop (a Qt timer, as the player's
// tick), and feeds an SDL2 device with the player's device period (the
// longest power of two of at most 100 ms). Nothing else: no settings, no
// single instance, no automation, no display items, no copies beyond the
// one into the device ring. Given an http:// location it reads the station
// with libcurl on a thread of its own, loaded only then (as the player loads
// its network module), and feeds the decoder each tick.
//
// It is measured by the same harness as the player, from outside:
//
//   BRELUNE3_PLAYER=build/bench/player/bench_floor_player build/bench/player/bench_player_cost 60 [--station]
//
// so any figure the player cannot go below is one this program reads too.
#include <curl/curl.h>
#include <dlfcn.h>
#include <mpg123.h>
#include <SDL.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
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

// A station read by libcurl on a thread of its own; what has arrived waits
// here for the next tick.
class StationReader {
public:
    ~StationReader() {
        stop = true;
        if (thread.joinable()) thread.join();
    }

    bool Start(const char* location) {
        void* curl = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!curl) return false;
        using GlobalInit = CURLcode (*)(long);
        using EasyInit = CURL* (*)();
        using SetOption = CURLcode (*)(CURL*, CURLoption, ...);
        using Perform = CURLcode (*)(CURL*);
        const auto globalInit = reinterpret_cast<GlobalInit>(dlsym(curl, "curl_global_init"));
        const auto easyInit = reinterpret_cast<EasyInit>(dlsym(curl, "curl_easy_init"));
        const auto setOption = reinterpret_cast<SetOption>(dlsym(curl, "curl_easy_setopt"));
        const auto perform = reinterpret_cast<Perform>(dlsym(curl, "curl_easy_perform"));
        if (!globalInit || !easyInit || !setOption || !perform || globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            return false;
        CURL* easy = easyInit();
        if (!easy) return false;
        setOption(easy, CURLOPT_URL, location);
        setOption(easy, CURLOPT_WRITEFUNCTION, &StationReader::Received);
        setOption(easy, CURLOPT_WRITEDATA, this);
        thread = std::thread([easy, perform] { perform(easy); });
        return true;
    }

    void FeedInto(mpg123_handle* decoder) {
        const std::lock_guard<std::mutex> hold(lock);
        if (!pending.empty()) mpg123_feed(decoder, reinterpret_cast<const unsigned char*>(pending.data()), pending.size());
        pending.clear();
    }

private:
    static std::size_t Received(char* data, std::size_t size, std::size_t count, void* self) {
        auto* reader = static_cast<StationReader*>(self);
        if (reader->stop) return 0;  // ends the transfer
        const std::lock_guard<std::mutex> hold(reader->lock);
        reader->pending.append(data, size * count);
        return size * count;
    }

    std::mutex lock;
    std::string pending;
    std::atomic<bool> stop{false};
    std::thread thread;
};

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
        std::fprintf(stderr, "usage: bench_floor_player file.mp3|http://location\n");
        return 2;
    }
    const bool isStation = std::strncmp(argv[1], "http", 4) == 0;
    StationReader station;
    mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_format_none(decoder);
    mpg123_format2(decoder, 0, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    long rate = 0;
    int channels = 0, encoding = 0;
    bool opened = isStation ? station.Start(argv[1]) && mpg123_open_feed(decoder) == MPG123_OK
                            : mpg123_open(decoder, argv[1]) == MPG123_OK;
    // A station's format is known once its first frames have arrived.
    for (int wait = 0; opened && mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK; ++wait) {
        opened = isStation && wait < 500;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        station.FeedInto(decoder);
    }
    if (!opened) {
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
        if (isStation) station.FeedInto(decoder);
        for (int i = 0; i < kFramesPerTick; ++i) {
            off_t number = 0;
            unsigned char* audio = nullptr;
            std::size_t size = 0;
            const int result = mpg123_decode_frame(decoder, &number, &audio, &size);
            if (result == MPG123_NEED_MORE && isStation) break;  // the rest has not arrived yet
            if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
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
