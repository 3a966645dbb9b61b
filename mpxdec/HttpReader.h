#pragma once
// Fetches one http:// or https:// location with libcurl on a thread of its
// own into a bounded queue, which the user-interface thread drains without
// ever blocking. When the queue is full the transfer is paused, so a fast
// server cannot make it grow. ICY metadata is taken out on the way in.
// The reader also keeps, until told otherwise, every byte it received, so a
// save that starts after the first bytes still writes the whole stream.
//
// Threads: Start, Stop, Read, Snapshot and the save calls are made on the
// caller's thread; the transfer and all file writes of a save run on the
// reader's thread. The lock guards every member marked below.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <curl/curl.h>

#include "mpxdec/ByteQueue.h"
#include "mpxdec/IcyFilter.h"

namespace mpxdec {

struct HttpRequest {
    std::string url;
    std::vector<std::string> headers;  // "Name: value"
    std::string proxyHost;             // empty: the environment's proxy settings apply
    long proxyPort = 0;
    std::string noProxy;               // used only with proxyHost
    int timeoutMs = 15000;
};

class HttpReader {
public:
    using Clock = std::chrono::steady_clock;

    struct State {
        bool bodyStarted = false;  // the first audio byte has arrived
        bool finished = false;     // the transfer is over, successfully or not
        std::uint32_t errorStatus = 0;
        std::string errorText;
        std::int64_t contentLength = -1;
        bool icy = false;
        Clock::time_point lastData;
    };

    explicit HttpReader(std::size_t capacity = 256 * 1024);
    ~HttpReader();
    HttpReader(const HttpReader&) = delete;
    HttpReader& operator=(const HttpReader&) = delete;

    bool Start(const HttpRequest& request, std::string* error);
    // Ends the transfer and joins the thread; returns within milliseconds.
    void Stop();

    std::size_t Read(std::uint8_t* dst, std::size_t max);
    // Sleeps until bytes arrive, the transfer ends, or limit passes.
    void WaitForData(std::chrono::milliseconds limit);
    State Snapshot() const;
    // The latest ICY stream title; empty when none came.
    std::string Title() const;

    // Writes the bytes kept so far to path and every later byte as it arrives.
    bool SaveTo(const std::string& path, std::string* error);
    // From now on bytes go only to the saved file, as fast as they come.
    void SetSaveOnly();
    // No save will start from the beginning any more: stop keeping bytes.
    void DropHistory();
    // True once the save file is complete and closed.
    bool SaveComplete() const;
    // The reason a save failed; empty while it has not.
    std::string SaveError() const;

private:
    static std::size_t HeaderCallback(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t BodyCallback(char* data, std::size_t size, std::size_t count, void* self);
    std::size_t OnHeader(const char* data, std::size_t size);
    std::size_t OnBody(const char* data, std::size_t size);
    bool AcceptResponse();
    bool Held(std::size_t incoming) const;
    void Run();
    void Finish(CURLcode result);
    void Fail(std::uint32_t status, std::string text);
    void WriteToSave(const std::uint8_t* data, std::size_t size);
    void CloseSave();

    const std::size_t capacity_;
    CURL* easy_ = nullptr;
    CURLM* multi_ = nullptr;
    curl_slist* headerList_ = nullptr;
    curl_slist* aliasList_ = nullptr;
    char curlError_[CURL_ERROR_SIZE] = {};
    int timeoutMs_ = 15000;
    std::thread thread_;
    std::atomic<bool> stop_{false};

    // Reader thread only.
    IcyFilter icyFilter_;
    std::vector<std::uint8_t> filtered_;
    std::string reason_;
    std::size_t metaInterval_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    // Guarded by mutex_:
    ByteQueue queue_;
    bool paused_ = false;
    State state_;
    Clock::time_point lastProgress_;
    std::string contentType_;
    std::string title_;
    bool saveOnly_ = false;
    bool keepHistory_ = true;
    std::vector<std::uint8_t> history_;
    std::FILE* saveFile_ = nullptr;
    std::string savePath_;
    bool saveComplete_ = false;
    std::string saveError_;
};

}  // namespace mpxdec
