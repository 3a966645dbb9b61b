#include "mpxdec/Session.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "mpxdec/Status.h"

namespace mpxdec {

namespace {

constexpr std::size_t kChunkBytes = 16 * 1024;
// Silence this long after audio has flowed counts as a stall, and the
// caller is told so it can buffer again before it plays on.
constexpr auto kStallTime = std::chrono::milliseconds(750);
constexpr auto kWaitSlice = std::chrono::milliseconds(10);
// Tags up to this size reach the decoder, which reads their texts; a larger
// one (pictures, or a hostile server) is skipped unread, so memory stays
// bounded whatever the tag claims.
constexpr std::int64_t kLargestReadTag = 1024 * 1024;
constexpr std::size_t kTagHeaderBytes = 10;

bool HasPrefix(const std::string& s, const char* prefix)
{
    std::size_t n = std::strlen(prefix);
    if (s.size() < n) {
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

std::string Trimmed(const std::string& s)
{
    std::size_t b = s.find_first_not_of(" \t\r\n");
    std::size_t e = s.find_last_not_of(" \t\r\n");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

bool HasControl(const char* text)
{
    for (; *text != '\0'; ++text) {
        if (static_cast<unsigned char>(*text) < 0x20 && *text != '\t') {
            return true;
        }
    }
    return false;
}

}  // namespace

Session::Session(ErrorReport& errors) : errors_(errors) {}

Session::~Session()
{
    if (reader_) {
        reader_->Stop();
    }
    if (fd_ >= 0) {
        close(fd_);
    }
}

std::uint32_t Session::Fail(std::uint32_t status, std::string text)
{
    return errors_.Record(status, std::move(text));
}

std::uint32_t Session::Open(const std::string& location, const OutputSettings& settings)
{
    settings_ = settings;
    std::string trimmed = Trimmed(location);
    if (HasPrefix(trimmed, "http://") || HasPrefix(trimmed, "https://")) {
        network_ = true;
        location_ = trimmed;
        return kOk;
    }
    if (trimmed.find("://") != std::string::npos) {
        return Fail(kErrUnsupportedLocation, "Unsupported location: only files and http:// or https:// locations play");
    }
    // A playlist entry with options keeps the blank before its "[": a name
    // that does not exist as given is tried without surrounding blanks.
    struct stat st {};
    location_ = (stat(location.c_str(), &st) != 0 && !trimmed.empty()) ? trimmed : location;
    return OpenFile(location_);
}

std::uint32_t Session::OpenFile(const std::string& path)
{
    // Checked before opening: opening a named pipe would wait for a writer.
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return Fail(kErrCannotRead, "This is a folder, not a file");
    }
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return Fail(kErrCannotRead, "This is not a regular file");
    }
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        return Fail(errno == ENOENT ? kErrNoSuchFile : kErrCannotRead,
                    errno == ENOENT ? "No such file" : std::string("The file cannot be read: ") + std::strerror(errno));
    }
    if (fstat(fd_, &st) != 0) {
        return Fail(kErrCannotRead, std::string("The file cannot be read: ") + std::strerror(errno));
    }
    fileSize_ = st.st_size;
    if (fileSize_ == 0) {
        return Fail(kErrNotMpeg, "Not MPEG audio: the file is empty");
    }
    if (!decoder_.OpenFd(fd_, fileSize_, settings_)) {
        return Fail(kErrDecode, "The decoder cannot open the file: " + decoder_.ErrorText());
    }
    if (decoder_.ReadFormat() != MpegDecoder::Result::Frame) {
        return Fail(kErrNotMpeg, "Not MPEG audio: no valid frame found");
    }
    MergeId3v1FromFile(fd_, fileSize_, &fileId3v1_);
    phase_ = Phase::Running;
    return kOk;
}

std::uint32_t Session::AddHeader(const char* name, const char* value)
{
    if (name == nullptr || value == nullptr || *name == '\0' || std::strchr(name, ':') != nullptr ||
        HasControl(name) || HasControl(value)) {
        return Fail(kErrBadArgument, "Invalid HTTP request header");
    }
    headers_.push_back(std::string(name) + ": " + value);
    return kOk;
}

std::uint32_t Session::Start(const HttpRequest& base, std::unique_ptr<HttpSource> source, const WaitHook& hook,
                             const bool& abort)
{
    if (!network_ || phase_ != Phase::Opened) {
        return phase_ == Phase::Aborted ? kAborted : kOk;
    }
    HttpRequest request = base;
    request.url = location_;
    request.headers = headers_;
    reader_ = std::move(source);
    std::string error;
    if (!decoder_.OpenFeed(settings_) || !reader_->Start(request, &error)) {
        return Fail(kErrNetwork, error.empty() ? "The decoder cannot be started" : error);
    }
    phase_ = Phase::Starting;
    chunk_.resize(kChunkBytes);
    // The reader gives up on a silent server by itself; this bounds a
    // server that answers but never sends a frame.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(2 * base.timeoutMs);
    for (;;) {
        if (abort) {
            phase_ = Phase::Aborted;
            return kAborted;
        }
        HttpSource::State state = reader_->Snapshot();
        // One chunk per look for the first frame: draining the queue first
        // would take in as fast as the reader refills it, and a fast server
        // could then push its whole body into the decoder and the history.
        std::size_t n = reader_->Read(chunk_.data(), chunk_.size());
        if (n > 0) {
            FeedStart(chunk_.data(), n);
            consumed_ += static_cast<std::int64_t>(n);
        }
        // The snapshot was taken before the read, so an empty queue after a
        // finished transfer means every byte has been seen.
        bool ended = n == 0 && state.finished;
        if (ended && state.errorStatus != 0) {
            return Fail(state.errorStatus, state.errorText);
        }
        if (ended) {
            // A stream shorter than a tag header, or of one frame, is known
            // for what it is only once it has ended.
            FeedStart(nullptr, 0);
            decoder_.EndOfInput();
        }
        MpegDecoder::Result r = decoder_.ReadFormat();
        if (r == MpegDecoder::Result::Frame) {
            phase_ = Phase::Running;
            // A lost connection is made again only once the stream plays; a
            // start that fails says why.
            reader_->ReconnectWhenDropped();
            return kMaySave;
        }
        if (r == MpegDecoder::Result::Error || ended) {
            return Fail(kErrNotMpeg, consumed_ == 0 ? "Not MPEG audio: the server sent no data"
                                                    : "Not MPEG audio: no valid frame found in what the server sent");
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return Fail(kErrTimedOut, "Timed out: no MPEG audio arrived within " +
                                          std::to_string(2 * base.timeoutMs / 1000) + " s");
        }
        if (hook.function != nullptr) {
            hook.function(hook.user);
        }
        if (n == 0 && !abort) {
            reader_->WaitForData(kWaitSlice);
        }
    }
}

void Session::FeedStart(const std::uint8_t* data, std::size_t size)
{
    if (!headChecked_) {
        std::size_t take = std::min(size, kTagHeaderBytes - head_.size());
        head_.insert(head_.end(), data, data + take);
        data += take;
        size -= take;
        if (head_.size() < kTagHeaderBytes && data != nullptr) {
            return;
        }
        headChecked_ = true;
        std::int64_t tag = head_.size() == kTagHeaderBytes ? Id3v2TagBytes(head_.data()) : 0;
        if (tag > kLargestReadTag) {
            tagLeft_ = tag - static_cast<std::int64_t>(head_.size());
        } else {
            decoder_.Feed(head_.data(), head_.size());
        }
        head_.clear();
    }
    std::size_t skip = static_cast<std::size_t>(std::min<std::int64_t>(tagLeft_, static_cast<std::int64_t>(size)));
    tagLeft_ -= static_cast<std::int64_t>(skip);
    if (size > skip) {
        decoder_.Feed(data + skip, size - skip);
    }
}

std::uint32_t Session::GetFrame(void* pcm, std::int32_t* bytes, FrameInfo* info)
{
    *bytes = 0;
    if (phase_ == Phase::Starting) {
        return kWaitingForData;
    }
    if (phase_ == Phase::Aborted) {
        return kEndOfStream;
    }
    if (phase_ != Phase::Running) {
        return Fail(kErrNoStream, "The stream has not been started");
    }
    if (reader_) {
        if (!historyDropped_) {
            historyDropped_ = true;
            if (!saveRequested_) {
                reader_->DropHistory();
            }
        }
        std::string saveError = reader_->SaveError();
        if (!saveError.empty() && !saveErrorReported_) {
            saveErrorReported_ = true;
            return Fail(kErrSave, saveError);
        }
        if (saveOnly_) {
            return SaveOnlyStep();
        }
    }
    if (ended_ || (lengthFrames_ >= 0 && framesOut_ >= lengthFrames_)) {
        ended_ = true;
        return kEndOfStream;
    }
    // Bounded so that skipping to an offset never holds the caller up long.
    for (int step = 0; step < 64; ++step) {
        switch (decoder_.DecodeFrame(pcm, bytes)) {
        case MpegDecoder::Result::Frame:
            stallReported_ = false;
            if (skipFrames_ > 0) {
                --skipFrames_;
                *bytes = 0;
                continue;
            }
            ++framesOut_;
            FillInfo(info);
            return kOk;
        case MpegDecoder::Result::FormatChanged:
            FillInfo(info);
            return kResync;
        case MpegDecoder::Result::NeedMore:
            if (reader_) {
                if (std::size_t n = reader_->Read(chunk_.data(), chunk_.size())) {
                    decoder_.Feed(chunk_.data(), n);
                    consumed_ += static_cast<std::int64_t>(n);
                    continue;
                }
                return NeedMoreInput(info);
            }
            ended_ = true;
            return kEndOfStream;
        case MpegDecoder::Result::End:
            ended_ = true;
            return kEndOfStream;
        case MpegDecoder::Result::Error:
            return Fail(kErrDecode, "The MPEG audio data cannot be decoded: " + decoder_.ErrorText());
        }
    }
    return kNoAudio;
}

std::uint32_t Session::NeedMoreInput(FrameInfo* info)
{
    HttpSource::State state = reader_->Snapshot();
    // Bytes may have come between the empty read and the snapshot.
    if (std::size_t n = reader_->Read(chunk_.data(), chunk_.size())) {
        decoder_.Feed(chunk_.data(), n);
        consumed_ += static_cast<std::int64_t>(n);
        return kNoAudio;
    }
    if (state.finished) {
        if (state.errorStatus != 0) {
            return Fail(state.errorStatus, state.errorText);
        }
        ended_ = true;
        return kEndOfStream;
    }
    FillInfo(info);
    if (state.reconnecting) {
        return kReconnecting;
    }
    if (!stallReported_ && std::chrono::steady_clock::now() - state.lastData > kStallTime) {
        stallReported_ = true;
        return kResync;
    }
    return kWaitingForData;
}

std::uint32_t Session::SaveOnlyStep()
{
    HttpSource::State state = reader_->Snapshot();
    if (!saveRequested_) {
        return Fail(kErrSave, "Saving without playing needs a file to save to");
    }
    if (!state.finished) {
        return state.reconnecting ? kReconnecting : kNoAudio;
    }
    if (state.errorStatus != 0) {
        return Fail(state.errorStatus, state.errorText);
    }
    return kEndOfStream;
}

void Session::FillInfo(FrameInfo* info) const
{
    if (decoder_.FormatKnown()) {
        *info = decoder_.Info();
    }
}

int Session::SourceKind() const
{
    if (!network_) {
        return kLocalFile;
    }
    if (!reader_) {
        return kHttpStream;
    }
    HttpSource::State state = reader_->Snapshot();
    if (state.icy) {
        return kIcyStream;
    }
    return state.contentLength >= 0 ? kHttpFile : kHttpStream;
}

std::uint32_t Session::InputLength(std::int64_t* length) const
{
    if (!network_) {
        *length = fileSize_;
        return kOk;
    }
    std::int64_t contentLength = reader_ ? reader_->Snapshot().contentLength : -1;
    if (contentLength < 0) {
        return kNotAvailable;
    }
    *length = contentLength;
    return kOk;
}

std::int64_t Session::InputPosition() const
{
    return network_ ? consumed_ : decoder_.InputPosition();
}

std::uint32_t Session::FramesFor(std::int64_t value, std::intptr_t unit, std::int64_t* frames)
{
    if (phase_ != Phase::Running || !decoder_.FormatKnown()) {
        return Fail(kErrNoStream, "The stream has not been started");
    }
    if (value < 0) {
        return Fail(kErrBadArgument, "A negative offset or length");
    }
    const FrameInfo& info = decoder_.Info();
    switch (unit) {
    case 0: {
        double frameBytes = decoder_.BytesPerFrame();
        if (frameBytes <= 0) {
            return kNotAvailable;
        }
        *frames = static_cast<std::int64_t>(static_cast<double>(value) / frameBytes);
        return kOk;
    }
    case 1:
        *frames = value * info.frequency / decoder_.SamplesPerFrame();
        return kOk;
    case 2:
        *frames = value;
        return kOk;
    default:
        return Fail(kErrBadArgument, "Unknown unit " + std::to_string(unit) + " (0 bytes, 1 seconds, 2 frames)");
    }
}

std::uint32_t Session::SetOffset(std::int64_t value, std::intptr_t unit)
{
    std::int64_t frames = 0;
    std::uint32_t status = FramesFor(value, unit, &frames);
    if (status != kOk) {
        return status;
    }
    framesOut_ = 0;
    if (network_) {
        skipFrames_ = frames;
        return kOk;
    }
    if (!decoder_.SeekFrame(frames)) {
        ended_ = true;
        return Fail(kErrBadArgument, "The offset lies beyond the end of the stream");
    }
    ended_ = false;
    return kOk;
}

std::uint32_t Session::SetLength(std::int64_t value, std::intptr_t unit)
{
    std::int64_t frames = 0;
    std::uint32_t status = FramesFor(value, unit, &frames);
    if (status == kOk) {
        lengthFrames_ = frames;
    }
    return status;
}

std::uint32_t Session::Tag(TagField field, std::string* text) const
{
    StreamTags tags;
    decoder_.ReadTags(&tags);
    if (reader_) {
        std::string title = reader_->Title();
        if (!title.empty()) {
            tags.title = title;
        }
    }
    MergeId3v1Fields(fileId3v1_, &tags);
    switch (field) {
    case TagField::Title: *text = tags.title; break;
    case TagField::Artist: *text = tags.artist; break;
    case TagField::Author: *text = tags.author; break;
    case TagField::Composer: *text = tags.composer; break;
    case TagField::Album: *text = tags.album; break;
    }
    return text->empty() ? kNotAvailable : kOk;
}

std::uint32_t Session::TagChanges() const
{
    return reader_ ? reader_->TitleChanges() : 0;
}

std::uint32_t Session::SaveTo(const std::string& path)
{
    if (!reader_) {
        return Fail(kErrSave, "Only network streams can be saved");
    }
    saveRequested_ = true;
    std::string error;
    if (!reader_->SaveTo(path, &error)) {
        return Fail(kErrSave, error);
    }
    return kOk;
}

std::uint32_t Session::SetSaveOnly()
{
    if (!reader_) {
        return Fail(kErrSave, "Only network streams can be saved");
    }
    saveOnly_ = true;
    reader_->SetSaveOnly();
    return kOk;
}

}  // namespace mpxdec
