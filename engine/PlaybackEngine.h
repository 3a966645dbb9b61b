#pragma once
// Plays one location at a time: opens it in the decoder, decodes frames on
// each timer tick into a ring of 16 output buffers, opens the wave-out device
// for the format the first frame reports, holds the device for 48 frames of
// pre-roll, and reports every stop of an active stream to its owner with a
// posted UM_PLAYBACK_STOPPED.
//
// Threads: everything runs on the user-interface thread except, with a timer
// that has a thread of its own, TickCallback (TickCounter.h), which only
// counts periods and posts UM_DECODE_TICK to the owner. The owner handles that message by calling DecodeTick.
//
// Choices made here where the frame format gives no usable answer:
// - A frame of a layer other than 1 to 3, of other than 1 or 2 channels, or
//   of a rate giving fewer than one frame per second or less than a
//   millisecond per frame does not open the device; the stream stops
//   silently, as after a failed format check.
// - Each buffer has room for a full threshold plus the largest frame, and a
//   frame is decoded only where the largest frame the output settings allow
//   still fits (a buffer without that room is handed over early), so the
//   decoder never writes past a buffer, whatever the frame sizes.
// - A Stop that runs while the decoder is still opening wins: the open then
//   fails silently even if the decoder reports success.
// - A decode tick also ends when the stream has stopped or the decoder has no
//   frame to give right now (no data yet, end of stream with audio still
//   queued), instead of asking it again for the rest of the 100 ms budget.
// - While the decoder reconnects a lost connection the stream stays active:
//   the first such status hands over what is decoded and, like a resync,
//   makes the next frame buffer again if the ring has run dry.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/Decoder.h"
#include "engine/OutputBuffer.h"
#include "engine/RunningAverage.h"
#include "platform/framework/MessageTarget.h"
#include "platform/mmtimer/MmTimer.h"
#include "platform/waveout/WaveOut.h"

// The frame format the device was opened for, as the decoder reported it
// (channels before downmix, rate before division); -1 when unknown.
struct StreamFormat {
    int layer = -1;
    int version = -1;
    int channels = -1;
    int samplingRate = -1;
};

class PlaybackEngine : public RunningAverage {
public:
    static constexpr int kBufferCount = 16;
    static constexpr int kPrerollFrames = 48;

    // Results of DecodeFrames.
    static constexpr int kDecodeInactive = 0;
    static constexpr int kDecodeMore = 1;
    static constexpr int kDecodeEmptyFrame = 2;
    static constexpr int kDecodeBufferBusy = 3;

    // Message texts (the string table's 48, 49 and 50, and the fixed parts).
    static constexpr const char* kTextTimerUnavailable =
        "Requested Windows Resource is not available (Multimedia-Timer)";
    static constexpr const char* kTextSoundbufferUnavailable =
        "Requested Windows Resource is not available (Soundbuffer)";
    static constexpr const char* kTextTimerNotReleased =
        "Windows Resource was not released correctly (Multimeadia-Timer)";
    static constexpr const char* kTextUnableToPlay = "Unable to play ";
    static constexpr const char* kTextDecodeError = "Brelune3: Error while decoding!\n";

    // The collaborators must outlive the engine. reportStatus is called by
    // DecodeTick to show the engine's state (the owner's display update).
    PlaybackEngine(MessageTarget& owner, Decoder& decoder, WaveOutDevice& device, MultimediaTimer& mmTimer,
                   Clock& clock, std::function<void()> reportStatus);
    ~PlaybackEngine();
    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;

    // Stream control. OpenStream shows its own failure messages, except for
    // a stream the owner declined or the decoder refused without an error.
    bool OpenStream(const std::string& location, int quality, int resolution, int downmix, int cpuType);
    bool StopStream();

    // The user's pause; false when no stream is active.
    bool PauseOutput();
    bool ResumeOutput();

    // Decodes up to n frames; returns one of the kDecode results.
    int DecodeFrames(int n);
    // The handler of UM_DECODE_TICK: decodes for at most about 100 ms.
    void DecodeTick();

    // Status for the display; -1 means not available.
    int ElapsedSeconds() const;
    int FramesPlayed() const;
    int ProgressPercent() const;
    int SyncState() const;
    // The same, finer, for media controls: microseconds of the stream played
    // (0 with none active), and its length estimated from its size as the
    // progress is (-1 when unknown).
    std::int64_t PlayedMicroseconds() const;
    std::int64_t LengthMicroseconds() const;
    const StreamFormat& CurrentFormat() const { return currentFormat; }
    int BitRate() const { return bitRate; }
    int Downmix() const { return downmix; }
    int PlayType() const { return playType; }
    // The decoder is making a lost connection again; false once audio flows.
    bool IsReconnecting() const { return reconnecting; }

    bool IsActive() const { return active; }
    // True when the last stream ended on a decoder error rather than at its end or by a stop.
    bool EndedWithError() const { return endedWithError; }
    int FrameBytes() const { return frameBytes; }
    int MsPerFrame() const { return msPerFrame; }
    int FillThreshold() const { return fillThreshold; }
    int EstimatedFrames() const { return estimatedFrames; }

    // The output ring.
    bool AllocateBuffers();
    void FreeBuffers();
    bool OpenOutput(int layer, int version, int channels, int samplingRate, int frameBitRate);
    void CloseOutput();
    void SubmitBuffer();
    int QueuedBuffers() const;
    bool CurrentBufferFree() const;
    std::uint64_t BytesPlayed() const;

private:
    void AfterFrame(DecoderStatus status);
    bool CheckFormat();
    void StartPreroll();
    void MakeRoomForFrame();
    bool StartTimer(std::uint32_t periodMs);
    std::string LibraryErrorText(DecoderStatus status);

    MessageTarget& owner;
    Decoder& decoder;
    WaveOutDevice& device;
    MultimediaTimer& mmTimer;
    Clock& clock;
    std::function<void()> reportStatus;

    // Output ring.
    std::array<std::unique_ptr<OutputBuffer>, kBufferCount> buffers;
    int bufferCount = 0;
    int currentBuffer = 0;
    int fill = 0;
    int fillThreshold = 0;
    PcmFormat format;
    int frameBytes = 0;
    int msPerFrame = 0;
    std::uint32_t timer = 0;
    bool userPaused = false;
    int quality = 0;
    int resolution = 0;
    int downmix = 0;
    int cpuType = 0;

    // Decode loop.
    bool active = false;
    StreamFormat currentFormat;
    int bitRate = -1;
    FrameInfo frameInfo{-1, -1, -1, -1, -1};
    DecoderStatus lastStatus = 0;
    int framesDecoded = 0;
    int skippedFrames = 0;
    bool emptyFrame = false;
    bool formatCheckPending = false;
    bool prerollRunning = false;
    int prerollCountdown = 0;
    int inputLength = -1;
    int estimatedFrames = -1;
    int playType = 0;
    bool endedWithError = false;
    bool reconnecting = false;
};
