// The output half of PlaybackEngine: the ring of 16 buffers, the wave-out
// device they are queued to, and the timer that follows the frame rate.

#include <new>

#include "engine/PlaybackEngine.h"
#include "engine/TickCounter.h"
#include "platform/framework/MessageBox.h"

namespace {
// Longest device error text shown, as the system's own text buffer allowed.
constexpr std::size_t kMaxDeviceErrorText = 256;

// PCM bytes one frame yields at full rate and 16 bits; 0 for an unknown layer.
int FullFrameBytes(int layer, int version, int channels) {
    switch (layer) {
        case 1: return channels * 768;
        case 2: return channels * 2304;
        case 3: return version == 1 ? channels * 2304 : channels * 1152;
        default: return 0;
    }
}
}  // namespace

bool PlaybackEngine::AllocateBuffers() {
    for (auto& buffer : buffers) {
        if (buffer) continue;
        buffer.reset(new (std::nothrow) OutputBuffer);
        if (!buffer) return false;
    }
    return true;
}

void PlaybackEngine::FreeBuffers() {
    for (auto& buffer : buffers) buffer.reset();
}

bool PlaybackEngine::OpenOutput(int layer, int version, int channels, int samplingRate, int frameBitRate) {
    const int fullFrameBytes = FullFrameBytes(layer, version, downmix ? 1 : channels);
    const bool settingsValid = quality >= 0 && quality <= 2 && resolution >= 0 && resolution <= 1;
    if (fullFrameBytes == 0 || channels < 1 || channels > 2 || samplingRate <= 0 || !settingsValid) return false;

    PcmFormat wanted;
    wanted.channels = downmix ? 1 : channels;
    const int bytesPerSample = 2 >> resolution;
    wanted.samplesPerSec = samplingRate >> quality;
    wanted.avgBytesPerSec = wanted.channels * bytesPerSample * wanted.samplesPerSec;
    wanted.blockAlign = bytesPerSample * wanted.channels;
    wanted.bitsPerSample = 16 >> resolution;
    const int wantedFrameBytes = fullFrameBytes >> (resolution + quality);
    // Whole frames per second and whole milliseconds per frame drive the
    // timer; a format where either is 0 cannot be paced.
    const int framesPerSecond = wanted.avgBytesPerSec / wantedFrameBytes;
    if (framesPerSecond == 0 || 1000 / framesPerSecond == 0) return false;

    std::string error;
    if (!device.Open(wanted, &error)) {
        if (error.size() > kMaxDeviceErrorText) error.resize(kMaxDeviceErrorText);
        ShowMessageBox(error);
        return false;
    }
    device.Pause();

    format = wanted;
    frameBytes = wantedFrameBytes;
    msPerFrame = 1000 / framesPerSecond;
    TickCounter = 0;
    currentFormat = StreamFormat{layer, version, channels, samplingRate};
    bitRate = frameBitRate;
    fillThreshold = wanted.channels * (layer == 3 && version == 2 ? 9216 : 18432);
    StartPreroll();

    bufferCount = kBufferCount;
    for (int i = 0; i < bufferCount; ++i) {
        WaveHeader& header = buffers[i]->header;
        header.loops = 0;
        header.flags = 0;
        header.bufferLength = OutputBuffer::kPreparedLength;
        device.Prepare(&header);
        header.flags |= WHDR_DONE;
    }
    // Whatever was decoded for the previous format is dropped.
    currentBuffer = 0;
    fill = 0;
    return StartTimer(static_cast<std::uint32_t>(msPerFrame) * 5);
}

void PlaybackEngine::CloseOutput() {
    // The timer goes first so that no tick is posted for a closing device.
    if (timer != 0) mmTimer.KillEvent(timer);
    if (device.IsOpen()) {
        device.Reset();
        for (int i = 0; i < bufferCount; ++i) {
            WaveHeader& header = buffers[i]->header;
            header.loops = 0;
            header.flags = 0;
            header.bufferLength = OutputBuffer::kPreparedLength;
            device.Unprepare(&header);
            header.flags |= WHDR_DONE;
        }
        device.Close();
    }
    bufferCount = 0;
    timer = 0;
}

void PlaybackEngine::SubmitBuffer() {
    if (!device.IsOpen()) return;
    WaveHeader& header = buffers[currentBuffer]->header;
    header.bufferLength = static_cast<std::uint32_t>(fill);
    header.flags &= ~WHDR_DONE;
    device.Write(&header);
    fill = 0;
    currentBuffer = (currentBuffer + 1) % bufferCount;
}

int PlaybackEngine::QueuedBuffers() const {
    if (!device.IsOpen()) return 0;
    int queued = 0;
    for (int i = 0; i < bufferCount; ++i) {
        if (!buffers[i]->IsFree()) ++queued;
    }
    return queued;
}

bool PlaybackEngine::CurrentBufferFree() const {
    return buffers[currentBuffer] && buffers[currentBuffer]->IsFree();
}

bool PlaybackEngine::PauseOutput() {
    if (!active) return false;
    userPaused = true;
    if (device.IsOpen()) device.Pause();
    return true;
}

bool PlaybackEngine::ResumeOutput() {
    if (!active) return false;
    userPaused = false;
    if (device.IsOpen()) device.Restart();
    return true;
}

std::uint64_t PlaybackEngine::BytesPlayed() const { return device.PositionBytes(); }

bool PlaybackEngine::StartTimer(std::uint32_t periodMs) {
    SetTickClock(&clock);
    timer = mmTimer.SetEvent(periodMs, 1, TickCallback, reinterpret_cast<std::uintptr_t>(&owner));
    if (timer != 0) return true;
    ShowMessageBox(kTextTimerUnavailable);
    return false;
}
