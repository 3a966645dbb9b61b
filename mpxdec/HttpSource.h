#pragma once
// The library's view of an HTTP transfer. The implementation (HttpReader,
// over libcurl) lives in a module of its own that NetworkSupport loads with
// the first network location, so a player of local files never maps the
// network and TLS libraries.
//
// Threads: every call comes from the library's caller's thread; the
// transfer itself runs on a thread of the implementation's.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace mpxdec {

struct HttpRequest {
    std::string url;
    std::vector<std::string> headers;  // "Name: value"
    std::string proxyHost;             // empty: the environment's proxy settings apply
    long proxyPort = 0;
    std::string noProxy;               // used only with proxyHost
    int timeoutMs = 15000;
    int reconnectPauseMs = 1000;       // the first pause before connecting again
};

class HttpSource {
public:
    using Clock = std::chrono::steady_clock;

    struct State {
        bool bodyStarted = false;  // the first audio byte has arrived
        bool finished = false;     // the transfer is over, successfully or not
        std::uint32_t errorStatus = 0;
        std::string errorText;
        std::int64_t contentLength = -1;
        bool icy = false;
        // The connection was lost after the stream started playing and is
        // being made again; the bytes already received are still read.
        bool reconnecting = false;
        Clock::time_point lastData;
    };

    virtual ~HttpSource() = default;

    virtual bool Start(const HttpRequest& request, std::string* error) = 0;
    // Ends the transfer and joins its thread; returns within milliseconds.
    virtual void Stop() = 0;

    virtual std::size_t Read(std::uint8_t* dst, std::size_t max) = 0;
    // Sleeps until bytes arrive, the transfer ends, or limit passes.
    virtual void WaitForData(std::chrono::milliseconds limit) = 0;
    virtual State Snapshot() const = 0;
    // The latest ICY stream title; empty when none came.
    virtual std::string Title() const = 0;
    // How often the title has changed; cheap enough to ask at every frame.
    virtual std::uint32_t TitleChanges() const = 0;
    // The stream plays: from now on a connection that drops or stalls is
    // made again (see Reconnector.h) instead of ending the stream.
    virtual void ReconnectWhenDropped() = 0;

    // Writes the bytes kept so far to path and every later byte as it arrives.
    virtual bool SaveTo(const std::string& path, std::string* error) = 0;
    // From now on bytes go only to the saved file, as fast as they come.
    virtual void SetSaveOnly() = 0;
    // No save will start from the beginning any more: stop keeping bytes.
    virtual void DropHistory() = 0;
    // True once the save file is complete and closed.
    virtual bool SaveComplete() const = 0;
    // The reason a save failed; empty while it has not.
    virtual std::string SaveError() const = 0;
};

// The network module's entry points, looked up by these names.
using HttpModuleInit = bool (*)();  // once, before the first transfer
using HttpModuleCleanup = void (*)();
using HttpSourceCreate = HttpSource* (*)(std::size_t capacity);  // the caller deletes it
constexpr const char* kHttpModuleInitName = "mpxdecHttpInit";
constexpr const char* kHttpModuleCleanupName = "mpxdecHttpCleanup";
constexpr const char* kHttpSourceCreateName = "mpxdecHttpCreate";

}  // namespace mpxdec
