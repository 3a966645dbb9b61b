#include "platform/waveout/SdlWaveOut.h"

#include <algorithm>
#include <cstring>

#include "platform/waveout/SdlAudioSystem.h"
#include "platform/waveout/SdlLibrary.h"

namespace {
// Headers the engine keeps in flight; more only grow the ring.
constexpr std::size_t kInitialRing = 16;

// The longest power-of-two period of at most 100 ms (see the header).
Uint16 PeriodFrames(int rate) {
    Uint16 frames = 256;
    while (frames < 8192 && frames * 2 * 10 <= rate) frames *= 2;
    return frames;
}

bool ToSpec(const PcmFormat& format, SDL_AudioSpec* audioSpec, std::string* errorText) {
    const char* problem = nullptr;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16)
        problem = "Unsupported wave format: only 8-bit and 16-bit samples can be played";
    else if (format.channels != 1 && format.channels != 2)
        problem = "Unsupported wave format: only mono and stereo can be played";
    else if (format.samplesPerSec <= 0)
        problem = "Unsupported wave format: the sampling rate must be positive";
    else if (format.blockAlign != format.channels * format.bitsPerSample / 8 ||
             format.avgBytesPerSec != format.samplesPerSec * format.blockAlign)
        problem = "Unsupported wave format: block alignment or byte rate does not match the samples";
    if (problem) {
        if (errorText) *errorText = problem;
        return false;
    }
    *audioSpec = SDL_AudioSpec{};
    audioSpec->freq = format.samplesPerSec;
    audioSpec->format = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    audioSpec->channels = static_cast<Uint8>(format.channels);
    audioSpec->samples = PeriodFrames(format.samplesPerSec);
    return true;
}

void MarkDone(WaveHeader* header) {
    std::uint32_t flags = header->flags.load();
    while (!header->flags.compare_exchange_weak(flags, (flags & ~WHDR_INQUEUE) | WHDR_DONE)) {
    }
}
}  // namespace

SdlWaveOut::~SdlWaveOut() { Close(); }

bool SdlWaveOut::Open(const PcmFormat& format, std::string* errorText) {
    if (device != 0) {
        if (errorText) *errorText = "The wave-out device is already open";
        return false;
    }
    SDL_AudioSpec audioSpec;
    if (!ToSpec(format, &audioSpec, errorText)) return false;
    audioSpec.callback = &SdlWaveOut::AudioCallback;
    audioSpec.userdata = this;
    {
        std::lock_guard lock(queueLock);
        if (ring.size() < kInitialRing) ring.resize(kInitialRing);
        head = count = handed = 0;
        frontOffset = 0;
        pendingBytes = 0;
        position = 0;
    }
    silence = format.bitsPerSample == 8 ? 0x80 : 0x00;
    device = SdlAudioSystem::Instance().OpenDevice(audioSpec, errorText);
    if (device == 0) return false;
    Sdl()->PauseAudioDevice(device, 0);
    return true;
}

bool SdlWaveOut::IsOpen() const { return device != 0; }

std::string SdlWaveOut::SilentFallbackReason() const { return SdlAudioSystem::Instance().FallbackReason(); }

void SdlWaveOut::Prepare(WaveHeader* header) {
    if (header) header->flags.fetch_or(WHDR_PREPARED);
}

void SdlWaveOut::Unprepare(WaveHeader* header) {
    if (header && !(header->flags.load() & WHDR_INQUEUE)) header->flags.fetch_and(~WHDR_PREPARED);
}

bool SdlWaveOut::Write(WaveHeader* header) {
    if (device == 0 || !header || (header->data == nullptr && header->bufferLength > 0)) return false;
    const std::uint32_t flags = header->flags.load();
    if (!(flags & WHDR_PREPARED) || (flags & WHDR_INQUEUE)) return false;
    header->flags.store((flags & ~WHDR_DONE) | WHDR_INQUEUE);
    std::lock_guard lock(queueLock);
    Push(header);
    return true;
}

void SdlWaveOut::Pause() {
    if (device != 0) Sdl()->PauseAudioDevice(device, 1);
}

void SdlWaveOut::Restart() {
    if (device != 0) Sdl()->PauseAudioDevice(device, 0);
}

void SdlWaveOut::Reset() {
    std::lock_guard lock(queueLock);
    for (std::size_t i = 0; i < count; ++i) MarkDone(ring[(head + i) % ring.size()]);
    head = count = handed = 0;
    frontOffset = 0;
    // Bytes already sent reach the speaker whatever happens to the queue.
    position += pendingBytes;
    pendingBytes = 0;
}

std::uint64_t SdlWaveOut::PositionBytes() const { return position.load(); }

void SdlWaveOut::Close() {
    if (device == 0) return;
    // Once paused, the device never calls back into this object again: the
    // queue is ours alone, and the device may finish closing in the background.
    Sdl()->PauseAudioDevice(device, 1);
    Reset();
    SdlAudioSystem::Instance().CloseDevice(device);
    device = 0;
}

void SdlWaveOut::AudioCallback(void* self, Uint8* stream, int length) {
    static_cast<SdlWaveOut*>(self)->Fill(stream, length);
}

void SdlWaveOut::Fill(Uint8* stream, int length) {
    std::lock_guard lock(queueLock);
    CompleteHanded();
    const std::size_t wanted = static_cast<std::size_t>(length);
    std::size_t copied = 0;
    std::size_t finished = 0;
    while (copied < wanted && finished < count) {
        const WaveHeader* header = ring[(head + finished) % ring.size()];
        const std::size_t left = header->bufferLength - frontOffset;
        const std::size_t n = std::min(left, wanted - copied);
        if (n > 0) std::memcpy(stream + copied, header->data + frontOffset, n);
        copied += n;
        if (n == left) {
            ++finished;
            frontOffset = 0;
        } else {
            frontOffset += static_cast<std::uint32_t>(n);
        }
    }
    handed = finished;
    pendingBytes = copied;
    if (copied < wanted) std::memset(stream + copied, silence, wanted - copied);
}

void SdlWaveOut::CompleteHanded() {
    for (; handed > 0; --handed, --count) {
        MarkDone(ring[head]);
        head = (head + 1) % ring.size();
    }
    position += pendingBytes;
    pendingBytes = 0;
}

void SdlWaveOut::Push(WaveHeader* header) {
    if (count == ring.size()) {
        std::vector<WaveHeader*> grown(std::max(kInitialRing, ring.size() * 2));
        for (std::size_t i = 0; i < count; ++i) grown[i] = ring[(head + i) % ring.size()];
        ring.swap(grown);
        head = 0;
    }
    ring[(head + count) % ring.size()] = header;
    ++count;
}

std::unique_ptr<WaveOutDevice> CreateSdlWaveOut() { return std::make_unique<SdlWaveOut>(); }
