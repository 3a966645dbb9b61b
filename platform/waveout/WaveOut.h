#pragma once
// The wave-out device: PCM buffers queued in order to the sound card.
//
// Threads: every call comes from the user-interface thread. The device's own
// audio thread consumes queued headers and sets WHDR_DONE in their flags when
// it has finished with them; the user-interface thread only polls that flag.
// Nothing calls back into the caller.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

constexpr std::uint32_t WHDR_DONE = 0x00000001;
constexpr std::uint32_t WHDR_PREPARED = 0x00000002;
constexpr std::uint32_t WHDR_INQUEUE = 0x00000010;

// One buffer handed to the device. The caller owns the header and its data
// and must not touch the data while WHDR_DONE is clear after a Write.
struct WaveHeader {
    std::uint8_t* data = nullptr;
    std::uint32_t bufferLength = 0;  // bytes of data to play
    std::uint32_t loops = 0;
    std::atomic<std::uint32_t> flags{0};  // written by the audio thread while queued
};

// PCM format: 8-bit unsigned or 16-bit signed little-endian, interleaved.
struct PcmFormat {
    int channels = 0;
    int samplesPerSec = 0;
    int avgBytesPerSec = 0;
    int blockAlign = 0;
    int bitsPerSample = 0;
};

class WaveOutDevice {
public:
    virtual ~WaveOutDevice() = default;

    // Opens the device for the format; playback runs at once (call Pause to
    // hold it). On failure returns false and sets errorText to the reason.
    virtual bool Open(const PcmFormat& format, std::string* errorText) = 0;
    virtual bool IsOpen() const = 0;

    virtual void Prepare(WaveHeader* header) = 0;    // sets WHDR_PREPARED
    virtual void Unprepare(WaveHeader* header) = 0;  // clears WHDR_PREPARED
    // Queues the header after the ones already queued. The caller has cleared WHDR_DONE.
    virtual bool Write(WaveHeader* header) = 0;

    // A paused device plays nothing and its position stands still.
    virtual void Pause() = 0;
    virtual void Restart() = 0;
    // Drops every queued header, marking each WHDR_DONE, and leaves the device paused state unchanged.
    virtual void Reset() = 0;
    // Bytes played since Open.
    virtual std::uint64_t PositionBytes() const = 0;
    // Resets and closes. Safe when not open.
    virtual void Close() = 0;
    // Empty while sound reaches a real device. Once the device has fallen
    // back to playing into nothing because no sound device could be opened,
    // the reason the real one failed, so that the user can be told.
    virtual std::string SilentFallbackReason() const { return {}; }
};

// The real device over the SDL2 audio subsystem. Falls back to SDL's dummy
// driver when no sound server or card can be opened, so the player still runs.
std::unique_ptr<WaveOutDevice> CreateSdlWaveOut();
