// Measures, in one run, the playback pipeline (engine ticks, decoder library,
// output ring, SDL's callback on the dummy driver, real-time pacing) against a
// bare libmpg123 decode of the same file:
// - CPU time per second of audio of each, and their ratio;
// - the longest decode tick, in a plain run and right after the driving
//   thread stalls for two seconds;
// - the time from OpenStream to the device starting.
// Without an argument it plays the 64 kbit/s fixture and a 128 kbit/s file
// it makes with sox and lame in a temporary folder.
// Usage: bench_engine [file.mp3]

#include <mpg123.h>
#include <time.h>

#include <algorithm>
#include <dirent.h>
#include <unistd.h>
#include <fstream>
#include <map>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "engine/Decoder.h"
#include "engine/PlaybackEngine.h"
#include "engine/PlayerMessages.h"
#include "engine/TickCounter.h"
#include "platform/framework/MessageBox.h"
#include "platform/mmtimer/SteadyClock.h"
#include "platform/mmtimer/ThreadTimer.h"
#include "platform/waveout/SdlWaveOut.h"
#include "tests/fakes/QueuedMessageTarget.h"

namespace {
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;
// The steady-state window of a run of the fifteen-second file, and the stall:
// late enough for the ring to be full, early enough to leave audio to decode.
constexpr double kSteadyFromMs = 2000;
constexpr double kSteadyToMs = 13000;
constexpr int kStallAfterMs = 4000;
constexpr int kStallMs = 2000;
// SDL names a playing device's thread so (for the first device opened).
constexpr const char* kSdlAudioThread = "SDLAudioP2";

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// CPU milliseconds and times scheduled in (nearly all of them wake-ups) of
// this process's threads, summed by thread name, from the scheduler's
// statistics; shows where the pipeline's time goes.
struct ThreadUse {
    double cpuMs = 0;
    double runs = 0;
};

std::map<std::string, ThreadUse> ThreadStats() {
    std::map<std::string, ThreadUse> use;
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr) return use;
    while (dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] == '.') continue;
        const std::string base = std::string("/proc/self/task/") + entry->d_name;
        std::string name;
        double ns = 0, waitNs = 0, runs = 0;
        std::ifstream(base + "/comm") >> name;
        std::ifstream(base + "/schedstat") >> ns >> waitNs >> runs;
        use[name].cpuMs += ns / 1e6;
        use[name].runs += runs;
    }
    closedir(tasks);
    return use;
}

bool HasThread(const std::string& name) { return ThreadStats().count(name) != 0; }

struct BareDecode {
    double audioSeconds = 0;
    double cpuSeconds = 0;  // for one decode of the file
    std::string format;     // of the last frame
};

// Decodes the whole file repeatedly in large blocks; returns the average.
BareDecode DecodeBare(const std::string& path, int repetitions) {
    BareDecode result;
    std::vector<unsigned char> block(64 * 1024);
    const double start = ProcessCpuSeconds();
    for (int i = 0; i < repetitions; ++i) {
        int error = 0;
        mpg123_handle* handle = mpg123_new(nullptr, &error);
        mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
        mpg123_format_none(handle);
        mpg123_format2(handle, 0, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        std::size_t bytes = 0;
        if (mpg123_open(handle, path.c_str()) == MPG123_OK) {
            int rc = MPG123_OK;
            while (rc == MPG123_OK || rc == MPG123_NEW_FORMAT) {
                std::size_t done = 0;
                rc = mpg123_read(handle, block.data(), block.size(), &done);
                bytes += done;
            }
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(handle, &rate, &channels, &encoding);
            if (rate > 0 && channels > 0) result.audioSeconds = static_cast<double>(bytes) / (rate * channels * 2.0);
            mpg123_frameinfo info{};
            if (mpg123_info(handle, &info) == MPG123_OK) {
                static const char* versions[] = {"MPEG-1", "MPEG-2", "MPEG-2.5"};
                char text[96];
                std::snprintf(text, sizeof text, "%s layer %d, %ld Hz, %d kbit/s", versions[info.version % 3],
                              info.layer, info.rate, info.bitrate);
                result.format = text;
            }
            mpg123_close(handle);
        }
        mpg123_delete(handle);
    }
    result.cpuSeconds = (ProcessCpuSeconds() - start) / repetitions;
    return result;
}

// The real device, noting when the engine first lets it run.
class TimedWaveOut : public WaveOutDevice {
public:
    Clock::time_point started{};

    bool Open(const PcmFormat& format, std::string* errorText) override { return device.Open(format, errorText); }
    bool IsOpen() const override { return device.IsOpen(); }
    void Prepare(WaveHeader* header) override { device.Prepare(header); }
    void Unprepare(WaveHeader* header) override { device.Unprepare(header); }
    bool Write(WaveHeader* header) override { return device.Write(header); }
    void Pause() override { device.Pause(); }
    void Restart() override {
        if (started == Clock::time_point{}) started = Clock::now();
        device.Restart();
    }
    void Reset() override { device.Reset(); }
    std::uint64_t PositionBytes() const override { return device.PositionBytes(); }
    void Close() override { device.Close(); }

private:
    SdlWaveOut device;
};

struct PipelineRun {
    bool ok = false;
    double cpuSeconds = 0;
    double wallSeconds = 0;
    double openToStartMs = 0;
    double longestTickMs = 0;  // while the stream plays
    double stoppingTickMs = 0;  // the tick that ends the stream and closes the device
    double tickAfterStallMs = 0;
    int periodsBeforeStallTick = 0;
    int ticks = 0;
    // CPU per wall second while playing, after start-up and before the end:
    // real-time pacing makes a wall second a second of audio.
    double steadyCpuPerSecond = 0;
    std::map<std::string, ThreadUse> steadyThreadsPerSecond;
};

// Plays the file to its end, driving ticks from this thread as the window's
// message loop would; optionally stalls this thread once for stallMs.
PipelineRun Play(Decoder& decoder, const std::string& path, int stallAfterMs, int stallMs) {
    PipelineRun run;
    QueuedMessageTarget owner;
    TimedWaveOut device;
    ThreadTimer timer;
    SteadyClock clock;
    PlaybackEngine engine(owner, decoder, device, timer, clock, {});

    const double cpuStart = ProcessCpuSeconds();
    const Clock::time_point open = Clock::now();
    if (!engine.OpenStream(path, 0, 0, 0, 0)) return run;
    bool stalled = stallMs <= 0;
    bool measureNext = false;
    double steadyCpuStart = -1;
    Clock::time_point steadyStart{};
    std::map<std::string, ThreadUse> steadyThreadsStart;
    const Clock::time_point deadline = open + std::chrono::seconds(120);
    while (Clock::now() < deadline) {
        if (!stalled && Ms(Clock::now() - open).count() >= stallAfterMs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(stallMs));
            stalled = true;
            measureNext = true;
        }
        UINT message = 0;
        if (!owner.Wait(&message, std::chrono::milliseconds(1000))) continue;
        if (message == UM_PLAYBACK_STOPPED) {
            run.ok = true;
            break;
        }
        const double sinceOpenMs = Ms(Clock::now() - open).count();
        if (steadyCpuStart < 0 && sinceOpenMs >= kSteadyFromMs) {
            steadyCpuStart = ProcessCpuSeconds();
            steadyStart = Clock::now();
            steadyThreadsStart = ThreadStats();
        } else if (steadyCpuStart >= 0 && run.steadyCpuPerSecond == 0 && sinceOpenMs >= kSteadyToMs) {
            const double seconds = std::chrono::duration<double>(Clock::now() - steadyStart).count();
            run.steadyCpuPerSecond = (ProcessCpuSeconds() - steadyCpuStart) / seconds;
            for (const auto& [thread, use] : ThreadStats()) {
                const ThreadUse& before = steadyThreadsStart[thread];
                run.steadyThreadsPerSecond[thread] = {(use.cpuMs - before.cpuMs) / seconds,
                                                      (use.runs - before.runs) / seconds};
            }
        }
        if (message != UM_DECODE_TICK) continue;
        const int periods = TickCounter.load();
        const Clock::time_point tickStart = Clock::now();
        engine.DecodeTick();
        const double tickMs = Ms(Clock::now() - tickStart).count();
        ++run.ticks;
        if (!engine.IsActive()) {
            run.stoppingTickMs = tickMs;
            continue;
        }
        run.longestTickMs = std::max(run.longestTickMs, tickMs);
        if (measureNext) {
            run.tickAfterStallMs = tickMs;
            run.periodsBeforeStallTick = periods;
            measureNext = false;
        }
    }
    run.wallSeconds = std::chrono::duration<double>(Clock::now() - open).count();
    // The device finishes closing on SDL's threads after the stream has
    // stopped; that belongs to the pipeline's cost too, so wait for it.
    const Clock::time_point closeDeadline = Clock::now() + std::chrono::seconds(5);
    while (HasThread(kSdlAudioThread) && Clock::now() < closeDeadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    run.cpuSeconds = ProcessCpuSeconds() - cpuStart;
    if (device.started != Clock::time_point{}) run.openToStartMs = Ms(device.started - open).count();
    return run;
}
struct FileFigures {
    std::string path;
    BareDecode bare;
    PipelineRun plain;
};

// Writes a fifteen-second two-tone file at 128 kbit/s (MPEG-1, 44.1 kHz
// stereo, as lame makes it at that rate) into folder; "" when it cannot.
std::string Make128kFile(const std::string& folder) {
    const std::string wav = folder + "/tone.wav";
    const std::string mp3 = folder + "/tone_128k.mp3";
    const std::string command = "sox -n -r 44100 -c 2 -b 16 '" + wav +
                                "' synth 15 sine 440 sine 1250 fade 0.02 0 0.02 gain -3 && lame --silent -b 128 '" +
                                wav + "' '" + mp3 + "'";
    const bool made = std::system(command.c_str()) == 0;
    std::remove(wav.c_str());
    return made ? mp3 : std::string();
}

void PrintFile(const FileFigures& f) {
    const double bareCost = f.bare.cpuSeconds / f.bare.audioSeconds;
    const double pipelineCost = f.plain.cpuSeconds / f.bare.audioSeconds;
    std::printf("file                               %s\n", f.path.c_str());
    std::printf("                                   %s, %.2f s of audio\n", f.bare.format.c_str(),
                f.bare.audioSeconds);
    std::printf("bare libmpg123 decode, CPU/audio s %.3f ms\n", bareCost * 1000);
    std::printf("whole pipeline, CPU/audio s        %.3f ms (%.2f s wall, %d ticks; device close included)\n",
                pipelineCost * 1000, f.plain.wallSeconds, f.plain.ticks);
    std::printf("ratio pipeline/bare                %.2f (target <= 1.15)\n", pipelineCost / bareCost);
    std::printf("steady playback, CPU/audio s       %.3f ms (ratio %.2f)\n", f.plain.steadyCpuPerSecond * 1000,
                f.plain.steadyCpuPerSecond / bareCost);
    for (const auto& [thread, use] : f.plain.steadyThreadsPerSecond) {
        if (use.runs <= 0) continue;
        std::printf("  thread %-14s %6.3f ms per s, %5.1f wake-ups per s, %5.1f us each\n", thread.c_str(),
                    use.cpuMs, use.runs, use.cpuMs * 1000 / use.runs);
    }
    std::printf("OpenStream to device start         %.1f ms\n", f.plain.openToStartMs);
    std::printf("longest decode tick while playing  %.2f ms\n", f.plain.longestTickMs);
    std::printf("tick that stops (device close)     %.2f ms\n", f.plain.stoppingTickMs);
}
}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SetMessageBoxHandler([](const std::string& text, MessageBoxIcon) {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return IDOK;
    });

    std::vector<std::string> paths;
    std::string folder;
    if (argc > 1) {
        paths.push_back(argv[1]);
    } else {
        paths.push_back(BRELUNE_ENGINE_BENCH_FILE);
        char pattern[] = "/tmp/bench_engine.XXXXXX";
        if (mkdtemp(pattern)) folder = pattern;
        const std::string made = folder.empty() ? std::string() : Make128kFile(folder);
        if (made.empty())
            std::fprintf(stderr, "no 128 kbit/s file (needs sox and lame); playing the fixture only\n");
        else
            paths.push_back(made);
    }

    MpxDecoder decoder;
    if (decoder.Init() != 0) {
        std::fprintf(stderr, "decoder library not ready\n");
        return 1;
    }
    std::vector<FileFigures> figures;
    for (const std::string& path : paths) {
        FileFigures f;
        f.path = path;
        f.bare = DecodeBare(path, 20);
        if (f.bare.audioSeconds <= 0) {
            std::fprintf(stderr, "cannot decode %s\n", path.c_str());
            return 1;
        }
        f.plain = Play(decoder, path, 0, 0);
        if (!f.plain.ok) {
            std::fprintf(stderr, "playback of %s did not finish\n", path.c_str());
            return 1;
        }
        figures.push_back(f);
    }
    // The stall on the costliest file only, to keep the run under a minute.
    const PipelineRun stall = Play(decoder, paths.back(), kStallAfterMs, kStallMs);
    decoder.Done();
    if (!folder.empty()) {
        std::remove((folder + "/tone_128k.mp3").c_str());
        rmdir(folder.c_str());
    }
    if (!stall.ok) {
        std::fprintf(stderr, "playback did not finish\n");
        return 1;
    }

    for (const FileFigures& f : figures) {
        PrintFile(f);
        std::printf("\n");
    }
    std::printf("tick right after a 2 s stall       %.2f ms (%d periods counted; longest %.2f ms, limit 100)\n",
                stall.tickAfterStallMs, stall.periodsBeforeStallTick, stall.longestTickMs);
    std::printf("  (file %s)\n", paths.back().c_str());
    return 0;
}
