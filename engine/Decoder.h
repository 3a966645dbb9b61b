#pragma once
// The player's view of the decoder library: its status convention, command
// codes and calls. PlaybackEngine and the window layers talk to a Decoder;
// MpxDecoder forwards to the real library, tests use a scripted one.

#include <cstdint>
#include <string>

#include "mpxdec/mpxdec.h"

using DecoderStatus = std::uint32_t;

// The top two bits classify a status.
constexpr unsigned StatusClass(DecoderStatus s) { return s >> 30; }
constexpr bool IsSuccess(DecoderStatus s) { return StatusClass(s) <= 1; }
constexpr bool IsError(DecoderStatus s) { return StatusClass(s) == 3; }

constexpr DecoderStatus kStatusMaySave = 0x41010101;
constexpr DecoderStatus kStatusNoFrame1 = 0x81010101;
constexpr DecoderStatus kStatusNoFrame2 = 0x81010102;
constexpr DecoderStatus kStatusResync = 0x81010103;
constexpr DecoderStatus kStatusEndOfStream = 0x81010104;
// No frame: the connection was lost and the decoder is making it again.
constexpr DecoderStatus kStatusReconnecting = 0x81010105;

namespace DecoderCommand {
constexpr std::uint32_t ErrorText = 0x00000001;
constexpr std::uint32_t VersionCheck = 0x01010101;
constexpr std::uint32_t AfterOpen = 0x00010385;
constexpr std::uint32_t AddRequestHeader = 0x00010382;
constexpr std::uint32_t StartSource = 0x01010105;
constexpr std::uint32_t SourceKind = 0x00010001;
constexpr std::uint32_t InputLength = 0x01010102;
constexpr std::uint32_t InputPosition = 0x01010204;
constexpr std::uint32_t StartOffset = 0x01010202;
constexpr std::uint32_t PlayLength = 0x01010203;
constexpr std::uint32_t AbortOpen = 0x00010022;
constexpr std::uint32_t Title = 0x00100015;
constexpr std::uint32_t Artist = 0x00100016;
constexpr std::uint32_t Author = 0x00100017;
constexpr std::uint32_t Composer = 0x00100018;
constexpr std::uint32_t Album = 0x00100019;
// out: int32_t, how often the tags have changed since the start.
constexpr std::uint32_t TagChanges = 0x00100020;
constexpr std::uint32_t Proxy = 0x00010380;
constexpr std::uint32_t NoProxy = 0x00010381;
constexpr std::uint32_t SaveOnly = 0x01010201;
constexpr std::uint32_t SaveToFile = 0x01010103;
// p1: void (*)(void* user), called over and over while a location connects so
// the host can dispatch its messages (0 removes it); p2: user. docs/decoder.md.
constexpr std::uint32_t WaitHook = 0x00010390;
}  // namespace DecoderCommand

constexpr std::uint32_t kDecoderVersion = 0x02030B05;

class Decoder {
public:
    virtual ~Decoder() = default;
    virtual DecoderStatus Init() = 0;
    virtual DecoderStatus Done() = 0;
    virtual DecoderStatus Open(const std::string& location, int quality, int resolution, int downmix,
                               int cpuType) = 0;
    virtual DecoderStatus GetFrame(void* pcm, std::int32_t* bytes, FrameInfo* info) = 0;
    virtual DecoderStatus Close() = 0;
    virtual DecoderStatus Command(std::uint32_t code, std::intptr_t p1, std::intptr_t p2, void* out) = 0;

    // The library's text for an error status; empty when it has none.
    std::string ErrorText(DecoderStatus status);
};

// Forwards to the library's exports.
class MpxDecoder final : public Decoder {
public:
    DecoderStatus Init() override;
    DecoderStatus Done() override;
    DecoderStatus Open(const std::string& location, int quality, int resolution, int downmix,
                       int cpuType) override;
    DecoderStatus GetFrame(void* pcm, std::int32_t* bytes, FrameInfo* info) override;
    DecoderStatus Close() override;
    DecoderStatus Command(std::uint32_t code, std::intptr_t p1, std::intptr_t p2, void* out) override;
};
