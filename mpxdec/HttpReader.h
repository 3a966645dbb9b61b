#pragma once
// The network module's HttpSource: fetches one http:// or https:// location
// with libcurl on a thread of its own into a bounded queue, which the
// user-interface thread drains without ever blocking. When the queue is full the transfer is paused, so a fast
// server cannot make it grow. ICY metadata is taken out on the way in.
// The reader also keeps, until told otherwise, every byte it received, so a
// save that starts after the first bytes still writes the whole stream.
// Once the stream plays, a lost connection is made again on the same thread
// (Reconnector.h): the queue and a save in progress carry on across it.
//
// Threads: Start, Stop, Read, Snapshot and the save calls are made on the
// caller's thread; the transfer and all file writes of a save run on the
// reader's thread. The lock guards every member marked below.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <curl/curl.h>

#include "mpxdec/ByteQueue.h"
#include "mpxdec/HttpSource.h"
#include "mpxdec/IcyFilter.h"
#include "mpxdec/Reconnector.h"
#include "mpxdec/StreamSave.h"
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
    std::uint32_t TitleChanges() const override { return titleChanges_; }
    void ReconnectWhenDropped() override;
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
    // How long the transfer thread may sleep before a check is due.
    int QuietMs() const;
    // afterLoss: go on from a connection lost before the stream played.
    void Run(bool afterLoss);
    CURLcode Transfer(bool* stalled);
    void Finish(CURLcode result);
    void Fail(std::uint32_t status, std::string text);
    // Reconnecting (HttpReaderReconnect.cpp); saving is in HttpReaderSave.cpp.
    bool Reconnect(CURLcode result, bool stalled);
    Reconnector::Ending EndingOf(CURLcode result, bool stalled);
    Reconnector::Ending Classify(CURLcode result) const;
    bool PauseBeforeReconnect(int ms);
    bool CheckResume(long code);
    void TrackDelivered();

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
    std::atomic<bool> reconnectArmed_{false};  // written under the lock
    std::atomic<std::uint32_t> titleChanges_{0};

    // Reader thread only.
    IcyFilter icyFilter_;
    std::vector<std::uint8_t> filtered_;
    std::string reason_;
    std::size_t metaInterval_ = 0;
    // What the current connection's answer said, and whether it was taken.
    std::int64_t responseLength_ = -1;
    bool responseIcy_ = false;
    std::string contentRange_;
    bool answered_ = false;
    Reconnector reconnector_;
    std::int64_t delivered_ = 0;   // stream bytes taken in, over every connection
    std::int64_t resumeFrom_ = 0;  // where the current connection was asked to start
    std::int64_t skip_ = 0;        // bytes of its body already delivered before
    bool fileChanged_ = false;
    std::string range_;
    // How the last connection ended; read by ReconnectWhenDropped once the thread has ended.
    CURLcode lastResult_ = CURLE_OK;
    bool lastStalled_ = false;

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
    StreamSave save_;
    bool lostWhileStarting_ = false;
    bool historyChecked_ = false;     // the start was looked at for a tag
    std::int64_t historyTagLeft_ = 0;  // bytes of a large tag still to pass over
};

}  // namespace mpxdec
