#include "mpxdec/Library.h"


#include <limits>

#include "mpxdec/Status.h"
#include "mpxdec/TextCopy.h"

namespace mpxdec {

namespace {

constexpr std::uint32_t kVersion = 0x02030B05;
constexpr int kDefaultOpenTimeoutMs = 15000;
constexpr int kDefaultReconnectPauseMs = 1000;
// So that thirty times the first pause still fits an int.
constexpr int kLongestFirstPauseMs = 60000;

// Command codes; docs/decoder.md tells what each one takes and gives.
enum : std::uint32_t {
    kCmdErrorText = 0x00000001,
    kCmdVersionCheck = 0x01010101,
    kCmdAfterOpen = 0x00010385,
    kCmdAddRequestHeader = 0x00010382,
    kCmdStartSource = 0x01010105,
    kCmdSourceKind = 0x00010001,
    kCmdInputLength = 0x01010102,
    kCmdInputPosition = 0x01010204,
    kCmdStartOffset = 0x01010202,
    kCmdPlayLength = 0x01010203,
    kCmdAbortOpen = 0x00010022,
    kCmdTitle = 0x00100015,
    kCmdArtist = 0x00100016,
    kCmdAuthor = 0x00100017,
    kCmdComposer = 0x00100018,
    kCmdAlbum = 0x00100019,
    kCmdTagChanges = 0x00100020,
    kCmdProxy = 0x00010380,
    kCmdNoProxy = 0x00010381,
    kCmdSaveOnly = 0x01010201,
    kCmdSaveToFile = 0x01010103,
    kCmdWaitHook = 0x00010390,
    kCmdOpenTimeout = 0x00010391,
    kCmdReconnectPause = 0x00010392,
};

const char* AsText(std::intptr_t p)
{
    const char* text = reinterpret_cast<const char*>(p);
    return text != nullptr ? text : "";
}

}  // namespace

Library& Library::Instance()
{
    static Library library;
    return library;
}

Library::Library() : openTimeoutMs_(kDefaultOpenTimeoutMs), reconnectPauseMs_(kDefaultReconnectPauseMs) {}

std::uint32_t Library::Init()
{
    if (initialised_) {
        return kOk;
    }
    initialised_ = true;
    return kOk;
}

std::uint32_t Library::StartNetwork()
{
    std::string error;
    return network_.Start(&error) ? kOk : errors_.Record(kErrNetwork, error);
}

std::uint32_t Library::Done()
{
    if (waitDepth_ > 0) {
        return errors_.Record(kErrBusy, GenericText(kErrBusy));
    }
    if (!initialised_) {
        return errors_.Record(kErrNotInitialised, GenericText(kErrNotInitialised));
    }
    session_.reset();
    network_.Stop();
    initialised_ = false;
    return kOk;
}

std::uint32_t Library::Open(const char* location, std::int32_t quality, std::int32_t resolution,
                            std::int32_t downmix, std::int32_t /*cpuType: libmpg123 picks its code for the CPU itself*/)
{
    if (!initialised_) {
        return errors_.Record(kErrNotInitialised, GenericText(kErrNotInitialised));
    }
    if (waitDepth_ > 0) {
        return errors_.Record(kErrBusy, GenericText(kErrBusy));
    }
    session_.reset();
    abortRequested_ = false;
    closeRequested_ = false;
    if (location == nullptr || *location == '\0') {
        return errors_.Record(kErrBadArgument, "No location given");
    }
    if (quality < 0 || quality > 2 || resolution < 0 || resolution > 1 || downmix < 0 || downmix > 1) {
        return errors_.Record(kErrBadArgument, "Invalid output settings (quality 0-2, resolution 0-1, downmix 0-1)");
    }
    OutputSettings settings{quality, resolution, downmix};
    session_ = std::make_unique<Session>(errors_);
    std::uint32_t status = session_->Open(location, settings);
    if (status >> 30 == 3) {
        session_.reset();
    }
    return status;
}

std::uint32_t Library::GetFrame(void* pcm, std::int32_t* bytes, FrameInfo* info)
{
    if (pcm == nullptr || bytes == nullptr || info == nullptr) {
        return errors_.Record(kErrBadArgument, "mpegGetFrame needs a PCM buffer, a byte count and a FrameInfo");
    }
    *bytes = 0;
    if (NeedSession() != kOk) {
        return NoSession();
    }
    return session_->GetFrame(pcm, bytes, info);
}

std::uint32_t Library::Close()
{
    if (waitDepth_ > 0) {
        // Called from inside the wait function: the waiting start unwinds first.
        closeRequested_ = true;
        abortRequested_ = true;
        return kOk;
    }
    session_.reset();
    return kOk;
}

std::uint32_t Library::NeedSession()
{
    return session_ ? kOk : errors_.Record(NoSession(), GenericText(NoSession()));
}

std::uint32_t Library::NoSession() const
{
    // Before mpegInit there cannot be a stream, and that is the news.
    return initialised_ ? kErrNoStream : kErrNotInitialised;
}

std::uint32_t Library::Start()
{
    if (NeedSession() != kOk) {
        return NoSession();
    }
    if (waitDepth_ > 0) {
        return errors_.Record(kErrBusy, GenericText(kErrBusy));
    }
    std::unique_ptr<HttpSource> source;
    if (session_->IsNetwork()) {
        if (std::uint32_t status = StartNetwork(); status != kOk) {
            return status;
        }
        source = network_.CreateSource();
    }
    HttpRequest base;
    base.proxyHost = proxyHost_;
    base.proxyPort = proxyPort_;
    base.noProxy = noProxy_;
    base.timeoutMs = openTimeoutMs_;
    base.reconnectPauseMs = reconnectPauseMs_;
    ++waitDepth_;
    std::uint32_t status = session_->Start(base, std::move(source), waitHook_, abortRequested_);
    --waitDepth_;
    if (closeRequested_) {
        closeRequested_ = false;
        session_.reset();
        return kAborted;
    }
    return status;
}

std::uint32_t Library::Command(std::uint32_t code, std::intptr_t p1, std::intptr_t p2, void* out)
{
    switch (code) {
    case kCmdErrorText:
        return ErrorText(p1, p2, out);
    case kCmdVersionCheck:
        if (out == nullptr) {
            return errors_.Record(kErrBadArgument, "The version check needs an output");
        }
        *static_cast<std::uint32_t*>(out) = kVersion;
        return static_cast<std::uint32_t>(p1) == kVersion ? kOk : errors_.Record(kErrWrongVersion, GenericText(kErrWrongVersion));
    case kCmdAfterOpen:
        return kOk;
    case kCmdAddRequestHeader:
        return NeedSession() == kOk ? session_->AddHeader(reinterpret_cast<const char*>(p1), reinterpret_cast<const char*>(p2))
                                    : NoSession();
    case kCmdStartSource:
        return Start();
    case kCmdSourceKind:
        return NeedSession() == kOk ? StoreInt(session_->SourceKind(), out) : NoSession();
    case kCmdInputLength: {
        if (NeedSession() != kOk) {
            return NoSession();
        }
        std::int64_t length = 0;
        std::uint32_t status = session_->InputLength(&length);
        return status == kOk ? StoreInt(length, out) : status;
    }
    case kCmdInputPosition:
        return NeedSession() == kOk ? StoreInt(session_->InputPosition(), out) : NoSession();
    case kCmdStartOffset:
        return NeedSession() == kOk ? session_->SetOffset(p1, p2) : NoSession();
    case kCmdPlayLength:
        return NeedSession() == kOk ? session_->SetLength(p1, p2) : NoSession();
    case kCmdAbortOpen:
        abortRequested_ = true;
        return kOk;
    case kCmdTitle:
        return CopyTag(TagField::Title, p2, out);
    case kCmdArtist:
        return CopyTag(TagField::Artist, p2, out);
    case kCmdAuthor:
        return CopyTag(TagField::Author, p2, out);
    case kCmdComposer:
        return CopyTag(TagField::Composer, p2, out);
    case kCmdAlbum:
        return CopyTag(TagField::Album, p2, out);
    case kCmdTagChanges:
        return NeedSession() == kOk ? StoreInt(session_->TagChanges(), out) : kErrNoStream;
    case kCmdProxy:
        if (p2 < 0 || p2 > 65535) {
            return errors_.Record(kErrBadArgument, "Proxy port out of range");
        }
        proxyHost_ = AsText(p1);
        proxyPort_ = static_cast<long>(p2);
        return kOk;
    case kCmdNoProxy:
        noProxy_ = AsText(p1);
        return kOk;
    case kCmdSaveOnly:
        return NeedSession() == kOk ? session_->SetSaveOnly() : NoSession();
    case kCmdSaveToFile:
        if (p1 == 0 || *AsText(p1) == '\0') {
            return errors_.Record(kErrBadArgument, "No file to save to");
        }
        return NeedSession() == kOk ? session_->SaveTo(AsText(p1)) : NoSession();
    case kCmdWaitHook:
        waitHook_.function = reinterpret_cast<void (*)(void*)>(p1);
        waitHook_.user = reinterpret_cast<void*>(p2);
        return kOk;
    case kCmdOpenTimeout:
        openTimeoutMs_ = p1 > 0 && p1 < std::numeric_limits<int>::max() / 2 ? static_cast<int>(p1) : kDefaultOpenTimeoutMs;
        return kOk;
    case kCmdReconnectPause:
        reconnectPauseMs_ = p1 > 0 && p1 <= kLongestFirstPauseMs ? static_cast<int>(p1) : kDefaultReconnectPauseMs;
        return kOk;
    default:
        return errors_.Record(kErrUnknownCommand, "Unknown command " + std::to_string(code));
    }
}

std::uint32_t Library::ErrorText(std::intptr_t status, std::intptr_t size, void* out)
{
    std::string text;
    // Not recorded as an error itself: that would replace the text asked for.
    if (out == nullptr || size <= 0) {
        return kErrBadArgument;
    }
    if (!errors_.TextFor(static_cast<std::uint32_t>(status), &text)) {
        return kNotAvailable;
    }
    CopyText(text, static_cast<char*>(out), size);
    return kOk;
}

std::uint32_t Library::CopyTag(TagField field, std::intptr_t size, void* out)
{
    if (out == nullptr || size <= 0) {
        return errors_.Record(kErrBadArgument, "A tag needs a text buffer and its size");
    }
    if (NeedSession() != kOk) {
        return NoSession();
    }
    std::string text;
    std::uint32_t status = session_->Tag(field, &text);
    if (status != kOk) {
        return status;
    }
    CopyText(text, static_cast<char*>(out), size);
    return kOk;
}

std::uint32_t Library::StoreInt(std::int64_t value, void* out)
{
    if (out == nullptr) {
        return errors_.Record(kErrBadArgument, "The command needs an output");
    }
    // The caller's output is a 32-bit integer; larger values are capped.
    *static_cast<std::int32_t*>(out) =
        static_cast<std::int32_t>(std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
    return kOk;
}

}  // namespace mpxdec
