#pragma once
// The wave-out device over SDL2's audio callback.
//
// Queued headers are consumed in order by SDL's audio thread. A period's
// bytes are copied into SDL's buffer by one callback, and SDL calls back for
// the next period only after the driver has taken that buffer; so the next
// callback marks WHDR_DONE on the headers the previous one finished, and adds
// their bytes to the position. "Done" and PositionBytes therefore mean "taken
// by the driver": what still sits in the driver's own buffer is counted as
// played. Silence written while the queue runs dry is not counted.
//
// The period is the longest power of two of sample frames that lasts at most
// 100 ms (4096 frames at 44.1 and 48 kHz, 2048 at 22.05 and 24 kHz). Each
// period wakes SDL's audio thread once, and a wake-up costs far more than
// the copy it does, so a long period makes the device cheap; in exchange a
// pause is heard up to a period late (what the driver already holds still
// plays), and the position and the done flags move once a period. Reset and
// the queue's state are immediate. Close returns at once: SDL finishes the
// close on another thread (SdlAudioSystem.h).
//
// A paused device gets no callbacks: nothing is consumed, nothing completes,
// the position stands still (SDL feeds the driver silence meanwhile).
// Write refuses a header that is not prepared or already queued, and
// Unprepare leaves a queued header alone.

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/waveout/WaveOut.h"

class SdlWaveOut final : public WaveOutDevice {
public:
    SdlWaveOut() = default;
    ~SdlWaveOut() override;
    SdlWaveOut(const SdlWaveOut&) = delete;
    SdlWaveOut& operator=(const SdlWaveOut&) = delete;

    bool Open(const PcmFormat& format, std::string* errorText) override;
    bool IsOpen() const override;
    void Prepare(WaveHeader* header) override;
    void Unprepare(WaveHeader* header) override;
    bool Write(WaveHeader* header) override;
    void Pause() override;
    void Restart() override;
    void Reset() override;
    std::uint64_t PositionBytes() const override;
    void Close() override;
    std::string SilentFallbackReason() const override;

private:
    static void AudioCallback(void* self, Uint8* stream, int length);
    void Fill(Uint8* stream, int length);
    // The helpers below run with queueLock held.
    void CompleteHanded();
    void Push(WaveHeader* header);

    // Used by the user-interface thread only; silence is set before the
    // device starts and only read by the callback afterwards.
    SDL_AudioDeviceID device = 0;
    std::uint8_t silence = 0;

    // Shared with the audio callback; every field in this group is guarded
    // by queueLock.
    std::mutex queueLock;
    std::vector<WaveHeader*> ring;   // queued headers from head, in write order
    std::size_t head = 0;
    std::size_t count = 0;           // headers queued, the handed ones included
    std::size_t handed = 0;          // leading headers whose last byte went out last period
    std::uint32_t frontOffset = 0;   // bytes already sent of the first header not yet handed
    std::uint64_t pendingBytes = 0;  // bytes sent last period, not yet in position

    // Written under queueLock, read by PositionBytes without it.
    std::atomic<std::uint64_t> position{0};
};
