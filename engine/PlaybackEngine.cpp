// The decode loop of PlaybackEngine: opening and stopping a stream, decoding
// frames into the output ring, format checks, pre-roll, and the status the
// display shows.

#include "engine/PlaybackEngine.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/PlayerMessages.h"
#include "engine/TickCounter.h"
#include "platform/framework/MessageBox.h"

namespace {
constexpr int kRunningAverageWindow = 10;
constexpr std::uint32_t kWaitForFormatPeriodMs = 120;
constexpr std::uint32_t kTickBudgetMs = 100;
constexpr int kFramesPerMissedPeriod = 10;
constexpr std::size_t kErrorTextBytes = 256;

const FrameInfo kUnknownFrame{-1, -1, -1, -1, -1};
}  // namespace

PlaybackEngine::PlaybackEngine(MessageTarget& owner, Decoder& decoder, WaveOutDevice& device,
                               MultimediaTimer& mmTimer, Clock& clock, std::function<void()> reportStatus)
    : RunningAverage(kRunningAverageWindow, true),
      owner(owner),
      decoder(decoder),
      device(device),
      mmTimer(mmTimer),
      clock(clock),
      reportStatus(std::move(reportStatus)) {}

PlaybackEngine::~PlaybackEngine() {
    StopStream();
    FreeBuffers();
    SetTickClock(nullptr);
}

bool PlaybackEngine::OpenStream(const std::string& location, int quality, int resolution, int downmix,
                                int cpuType) {
    if (!AllocateBuffers()) {
        ShowMessageBox(kTextSoundbufferUnavailable);
        return false;
    }
    currentBuffer = 0;
    fill = 0;
    emptyFrame = false;
    this->quality = quality;
    this->resolution = resolution;
    this->downmix = downmix;
    this->cpuType = cpuType;
    StopStream();
    endedWithError = false;

    // Counting as active while the decoder opens lets a Stop that arrives
    // from a message dispatched during the open run in full.
    userPaused = false;
    active = true;
    DecoderStatus status = decoder.Open(location, quality, resolution, downmix, cpuType);
    const bool stoppedWhileOpening = !active;
    active = false;
    decoder.Command(DecoderCommand::AfterOpen, 0, 0, nullptr);
    if (stoppedWhileOpening) {
        // The user's Stop wins even over an open that got through.
        decoder.Close();
        playType = 0;
        return false;
    }

    if (IsSuccess(status)) {
        decoder.Command(DecoderCommand::AddRequestHeader, reinterpret_cast<std::intptr_t>("Accept"),
                        reinterpret_cast<std::intptr_t>("audio/x-mpeg"), nullptr);
        decoder.Command(DecoderCommand::AddRequestHeader, reinterpret_cast<std::intptr_t>("User-Agent"),
                        reinterpret_cast<std::intptr_t>("Brelune3"), nullptr);
        status = decoder.Command(DecoderCommand::StartSource, 0, 0, nullptr);
    }
    if (!IsSuccess(status)) {
        decoder.Close();
        playType = 0;
        if (IsError(status)) ShowMessageBox(kTextUnableToPlay + location + "\n" + LibraryErrorText(status));
        return false;
    }

    std::int32_t kind = 0;
    decoder.Command(DecoderCommand::SourceKind, 0, 0, &kind);
    playType = kind;
    if (status == kStatusMaySave &&
        owner.SendMessage(UM_CONFIRM_STREAM, 1, reinterpret_cast<LPARAM>(location.c_str())) == 0) {
        decoder.Close();
        return false;
    }

    currentFormat = StreamFormat{};
    bitRate = -1;
    frameInfo = kUnknownFrame;
    estimatedFrames = -1;
    std::int32_t length = 0;
    inputLength = decoder.Command(DecoderCommand::InputLength, 0, 0, &length) == 0 ? length : -1;
    framesDecoded = 0;
    skippedFrames = 0;
    lastStatus = 0;
    formatCheckPending = false;
    prerollRunning = false;
    reconnecting = false;
    fillThreshold = OutputBuffer::kPreparedLength;

    if (timer != 0) {
        ShowMessageBox(kTextTimerNotReleased);
        decoder.Close();
        return false;
    }
    // Until the first frame tells the format, poll at a fixed rate.
    if (!StartTimer(kWaitForFormatPeriodMs)) {
        decoder.Close();
        return false;
    }
    active = true;
    return true;
}

bool PlaybackEngine::StopStream() {
    if (!active) return false;
    active = false;
    reconnecting = false;
    currentBuffer = 0;
    fill = 0;
    CloseOutput();
    decoder.Close();
    owner.PostMessage(UM_PLAYBACK_STOPPED, 0, 0);
    return true;
}

int PlaybackEngine::DecodeFrames(int n) {
    int result = kDecodeMore;
    for (int i = 0; i < n; ++i) {
        if (!active) return kDecodeInactive;
        MakeRoomForFrame();
        if (!CurrentBufferFree()) {
            result = kDecodeBufferBusy;
            break;
        }
        const int room = static_cast<int>(OutputBuffer::kPcmBytes) - fill;
        std::int32_t bytes = 0;
        const DecoderStatus status = decoder.GetFrame(buffers[currentBuffer]->pcm + fill, &bytes, &frameInfo);
        lastStatus = status;
        switch (status) {
            case 0:
                reconnecting = false;
                ++framesDecoded;
                emptyFrame = bytes == 0;
                if (emptyFrame) ++skippedFrames;
                fill += std::clamp(bytes, 0, room);
                AfterFrame(status);
                break;
            case kStatusNoFrame1:
            case kStatusNoFrame2:
                break;
            case kStatusResync:
                formatCheckPending = true;
                AfterFrame(status);
                break;
            case kStatusReconnecting:
                // Said at every call while it lasts: act on the first only.
                if (!reconnecting) {
                    reconnecting = true;
                    formatCheckPending = true;
                    AfterFrame(status);
                }
                break;
            case kStatusEndOfStream:
                AfterFrame(status);
                // The stream ends only once the device has played all of it.
                if (QueuedBuffers() == 0) StopStream();
                break;
            default:
                if (IsError(status)) {
                    endedWithError = true;
                    ShowMessageBox(kTextDecodeError + LibraryErrorText(status));
                    StopStream();
                }
                break;
        }
        if (!active) return kDecodeInactive;

        std::int32_t position = 0;
        if (decoder.Command(DecoderCommand::InputPosition, 0, 0, &position) != 0) position = 0;
        estimatedFrames = inputLength > 0 && framesDecoded > 0 && position > 0
                              ? static_cast<int>(inputLength / (static_cast<double>(position) / framesDecoded))
                              : -1;
        if (emptyFrame) return kDecodeEmptyFrame;
    }
    return result;
}

void PlaybackEngine::AfterFrame(DecoderStatus status) {
    // Only a change of channels, or the decoder's resync, calls for a check.
    if (status == 0 && frameInfo.channels != currentFormat.channels) formatCheckPending = true;

    if (!formatCheckPending) {
        bitRate = frameInfo.bitrate;
        if (bitRate > 0) bitRate = Add(bitRate);
        if (fill >= fillThreshold) SubmitBuffer();
    } else if (status == 0) {
        formatCheckPending = false;
        if (!CheckFormat()) {
            StopStream();
            return;
        }
    } else if (fill > 0) {
        SubmitBuffer();
    }

    if (status == kStatusEndOfStream) {
        if (fill > 0) SubmitBuffer();
        // A stream shorter than the pre-roll still plays.
        if (prerollRunning) prerollCountdown = 0;
    }
    if (prerollRunning && --prerollCountdown <= 0) {
        if (fill > 0) SubmitBuffer();
        prerollRunning = false;
        if (!userPaused && device.IsOpen()) device.Restart();
    }
}

bool PlaybackEngine::CheckFormat() {
    if (frameInfo.layer == -1) return false;
    const StreamFormat reported{frameInfo.layer, frameInfo.version, frameInfo.channels, frameInfo.frequency};
    if (reported.layer == currentFormat.layer && reported.version == currentFormat.version &&
        reported.channels == currentFormat.channels && reported.samplingRate == currentFormat.samplingRate) {
        // Same format after a resync: with the ring nearly empty, hold the
        // device and build up a fresh pre-roll rather than stutter.
        if (QueuedBuffers() <= 2) {
            if (device.IsOpen()) device.Pause();
            StartPreroll();
        }
        return true;
    }
    CloseOutput();
    return OpenOutput(reported.layer, reported.version, reported.channels, reported.samplingRate,
                      frameInfo.bitrate);
}

void PlaybackEngine::StartPreroll() {
    prerollCountdown = kPrerollFrames;
    prerollRunning = true;
}

void PlaybackEngine::MakeRoomForFrame() {
    // Rate division and 8-bit output shrink every frame of the stream alike.
    const std::size_t maxFrameBytes = OutputBuffer::kLargestFrameBytes >> std::clamp(quality + resolution, 0, 3);
    if (OutputBuffer::kPcmBytes - static_cast<std::size_t>(fill) >= maxFrameBytes) return;
    // Without a device nobody would ever play what is there.
    if (device.IsOpen())
        SubmitBuffer();
    else
        fill = 0;
}

void PlaybackEngine::DecodeTick() {
    const int ticks = TickCounter.load();
    const std::uint32_t start = clock.GetTime();
    int r = DecodeFrames(ticks * kFramesPerMissedPeriod);
    if (reportStatus) reportStatus();
    // Unsigned difference, so the budget holds across the clock's wrap.
    while (clock.GetTime() - start < kTickBudgetMs && r != kDecodeBufferBusy && r != kDecodeInactive &&
           StatusClass(lastStatus) != 2) {
        r = DecodeFrames(1);
        if (r != kDecodeEmptyFrame && reportStatus) reportStatus();
    }
    TickCounter = 0;
}

int PlaybackEngine::ElapsedSeconds() const {
    if (!active || format.avgBytesPerSec == 0) return -1;
    const double bytesPerSecond = format.avgBytesPerSec;
    int seconds = static_cast<int>(static_cast<double>(skippedFrames) * frameBytes / bytesPerSecond);
    if (device.IsOpen()) seconds += static_cast<int>(BytesPlayed() / static_cast<std::uint64_t>(format.avgBytesPerSec));
    return seconds;
}

int PlaybackEngine::FramesPlayed() const {
    if (!active) return -1;
    const std::uint64_t played =
        device.IsOpen() && frameBytes != 0 ? BytesPlayed() / static_cast<std::uint64_t>(frameBytes) : 0;
    return static_cast<int>((played + static_cast<std::uint64_t>(skippedFrames)) / 10 * 10);
}

int PlaybackEngine::ProgressPercent() const {
    if (!active || estimatedFrames <= 0 || frameBytes == 0) return -1;
    double frames = skippedFrames;
    if (device.IsOpen()) frames += static_cast<double>(BytesPlayed() / static_cast<std::uint64_t>(frameBytes));
    return static_cast<int>(frames * 100.0 / estimatedFrames);
}

std::int64_t PlaybackEngine::PlayedMicroseconds() const {
    if (!active || format.avgBytesPerSec == 0) return 0;
    double bytes = static_cast<double>(skippedFrames) * frameBytes;
    if (device.IsOpen()) bytes += static_cast<double>(BytesPlayed());
    return static_cast<std::int64_t>(bytes * 1e6 / format.avgBytesPerSec);
}

std::int64_t PlaybackEngine::LengthMicroseconds() const {
    if (!active || estimatedFrames <= 0 || format.avgBytesPerSec == 0) return -1;
    return static_cast<std::int64_t>(static_cast<double>(estimatedFrames) * frameBytes * 1e6 / format.avgBytesPerSec);
}

int PlaybackEngine::SyncState() const {
    switch (lastStatus) {
        case 0: return 2;
        case kStatusNoFrame1: return 1;
        case kStatusResync: return 3;
        case kStatusNoFrame2: return 4;
        case kStatusEndOfStream: return 5;
        default: return 0;
    }
}

std::string PlaybackEngine::LibraryErrorText(DecoderStatus status) {
    char text[kErrorTextBytes] = {};
    if (decoder.Command(DecoderCommand::ErrorText, status, kErrorTextBytes, text) != 0) return {};
    return std::string(text, strnlen(text, sizeof text));
}
