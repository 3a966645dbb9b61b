#pragma once
// The network module's HttpSource: fetches one http:// or https:// location
// with libcurl on a thread of its own into a bounded queue, which the
// user-interface thread drains without ever blocking. When the queue is full the transfer is paused, so a fast
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
#include "mpxdec/HttpSource.h"
#include "mpxdec/IcyFilter.h"
#include "mpxdec/TlsTrust.h"

namespace mpxdec {

class HttpReader final : public HttpSource {
public:
    explicit HttpReader(std::size_t capacity = 256 * 1024);
    ~HttpReader() override;
    HttpReader(const HttpReader&) = delete;
    HttpReader& operator=(const HttpReader&) = delete;

    bool Start(const HttpRequest& request, std::string* error) override;
    void Stop() override;
    std::size_t Read(std::uint8_t* dst, std::size_t max) override;
    void WaitForData(std::chrono::milliseconds limit) override;
    State Snapshot() const override;
    std::string Title() const override;
    bool SaveTo(const std::string& path, std::string* error) override;
    void SetSaveOnly() override;
    void DropHistory() override;
    bool SaveComplete() const override;
    std::string SaveError() const override;

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
    TlsTrust trust_;
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
