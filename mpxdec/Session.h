#pragma once
// One opened location: a local file decoded by libmpg123 directly, or an
// http(s) location whose bytes an HttpSource fetches and the decoder takes
// in feed mode. Holds the position, the offset and length limits, and the
// save state. Used only on the caller's thread.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mpxdec/ErrorReport.h"
#include "mpxdec/HttpSource.h"
#include "mpxdec/MpegDecoder.h"
#include "mpxdec/StreamTags.h"

namespace mpxdec {

// A function of the host that the library calls again and again while it
// waits for a location to answer, so the host can keep its windows alive.
struct WaitHook {
    void (*function)(void* user) = nullptr;
    void* user = nullptr;
};

enum class TagField { Title, Artist, Author, Composer, Album };

class Session {
public:
    // Source kinds, as the source-kind command reports them.
    enum Kind { kLocalFile = 1, kHttpFile = 2, kHttpStream = 3, kIcyStream = 4 };

    explicit Session(ErrorReport& errors);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    std::uint32_t Open(const std::string& location, const OutputSettings& settings);
    std::uint32_t AddHeader(const char* name, const char* value);
    // Connects a network location, calling hook while it waits, until the
    // first frame's format is known; abort is watched after every call.
    // `source` is the network transfer to use; Start owns it from then on.
    std::uint32_t Start(const HttpRequest& base, std::unique_ptr<HttpSource> source, const WaitHook& hook,
                        const bool& abort);
    std::uint32_t GetFrame(void* pcm, std::int32_t* bytes, FrameInfo* info);

    int SourceKind() const;
    bool IsNetwork() const { return network_; }
    std::uint32_t InputLength(std::int64_t* length) const;
    std::int64_t InputPosition() const;
    std::uint32_t SetOffset(std::int64_t value, std::intptr_t unit);
    std::uint32_t SetLength(std::int64_t value, std::intptr_t unit);
    std::uint32_t Tag(TagField field, std::string* text) const;
    // How often the tags have changed since the start (a station's new title).
    std::uint32_t TagChanges() const;
    std::uint32_t SaveTo(const std::string& path);
    std::uint32_t SetSaveOnly();

private:
    enum class Phase { Opened, Starting, Running, Aborted };

    std::uint32_t OpenFile(const std::string& path);
    std::uint32_t FramesFor(std::int64_t value, std::intptr_t unit, std::int64_t* frames);
    void FeedStart(const std::uint8_t* data, std::size_t size);
    std::uint32_t NeedMoreInput(FrameInfo* info);
    std::uint32_t SaveOnlyStep();
    std::uint32_t Fail(std::uint32_t status, std::string text);
    void FillInfo(FrameInfo* info) const;

    ErrorReport& errors_;
    OutputSettings settings_;
    std::string location_;
    bool network_ = false;
    Phase phase_ = Phase::Opened;
    MpegDecoder decoder_;
    int fd_ = -1;
    std::int64_t fileSize_ = 0;
    StreamTags fileId3v1_;

    std::vector<std::string> headers_;
    std::unique_ptr<HttpSource> reader_;
    std::vector<std::uint8_t> chunk_;
    std::int64_t consumed_ = 0;
    // The start looks at the first 10 bytes for an ID3v2 tag; a large one is
    // passed over without being fed to the decoder or kept.
    std::vector<std::uint8_t> head_;
    bool headChecked_ = false;
    std::int64_t tagLeft_ = 0;
    bool stallReported_ = false;
    bool historyDropped_ = false;
    bool saveRequested_ = false;
    bool saveOnly_ = false;
    bool saveErrorReported_ = false;

    std::int64_t skipFrames_ = 0;
    std::int64_t lengthFrames_ = -1;  // -1: to the end
    std::int64_t framesOut_ = 0;      // since the offset
    bool ended_ = false;
};

}  // namespace mpxdec
