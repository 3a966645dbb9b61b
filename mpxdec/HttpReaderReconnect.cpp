// The reader's side of reconnecting: how a connection ended, the pause
// before the next one, and a new request that carries on where the stream
// stopped. Reconnector decides; this carries it out with libcurl.

#include <algorithm>
#include <utility>

#include "mpxdec/HttpReader.h"
#include "mpxdec/Status.h"

namespace mpxdec {

namespace {

constexpr auto kPauseSlice = std::chrono::milliseconds(200);

}  // namespace

void HttpReader::ReconnectWhenDropped()
{
    bool restart = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        reconnectArmed_ = true;
        std::swap(restart, lostWhileStarting_);
    }
    if (!restart) {
        return;
    }
    // The connection was lost while the stream was starting, and the thread
    // is finishing: it goes on with a reconnection instead.
    thread_.join();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state_.finished = false;
        state_.reconnecting = true;
        state_.errorStatus = 0;
        state_.errorText.clear();
    }
    thread_ = std::thread(&HttpReader::Run, this, true);
}

bool HttpReader::Reconnect(CURLcode result, bool stalled)
{
    Reconnector::Ending ending = EndingOf(result, stalled);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!reconnectArmed_) {
            // Decided under the lock, so ReconnectWhenDropped sees it.
            lostWhileStarting_ = ending == Reconnector::Ending::Dropped;
            return false;
        }
    }
    int pause = reconnector_.NextPause(ending);
    if (pause < 0) {
        return false;  // Finish reports how the last connection ended
    }
    curl_multi_remove_handle(multi_, easy_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state_.reconnecting = true;
        state_.errorStatus = 0;
        state_.errorText.clear();
        paused_ = false;
    }
    changed_.notify_all();
    if (!PauseBeforeReconnect(pause)) {
        Fail(kAborted, "Aborted");
        return false;
    }
    resumeFrom_ = reconnector_.ResumeFrom(delivered_);
    range_ = resumeFrom_ > 0 ? std::to_string(resumeFrom_) + "-" : std::string();
    curl_easy_setopt(easy_, CURLOPT_RANGE, range_.empty() ? nullptr : range_.c_str());
    // A stalled connection may still look alive to libcurl's pool.
    curl_easy_setopt(easy_, CURLOPT_FRESH_CONNECT, 1L);
    curlError_[0] = '\0';
    answered_ = false;
    skip_ = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lastProgress_ = Clock::now();
    }
    curl_multi_add_handle(multi_, easy_);
    return true;
}

Reconnector::Ending HttpReader::EndingOf(CURLcode result, bool stalled)
{
    State state = Snapshot();
    reconnector_.Describe(state.icy                     ? Reconnector::Source::Station
                          : state.contentLength >= 0 ? Reconnector::Source::File
                                                     : Reconnector::Source::Stream,
                          state.contentLength);
    return stalled ? Reconnector::Ending::Dropped : Classify(result);
}

Reconnector::Ending HttpReader::Classify(CURLcode result) const
{
    if (fileChanged_) {
        return Reconnector::Ending::Fatal;
    }
    long code = 0;
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &code);
    // The server is there but cannot serve now: overloaded, or its source gone.
    if (code >= 500) {
        return Reconnector::Ending::Dropped;
    }
    std::uint32_t recorded = Snapshot().errorStatus;
    if (recorded == kErrHttpStatus || recorded == kErrNotMpeg) {
        return Reconnector::Ending::Refused;
    }
    if (recorded == kErrTimedOut) {
        return Reconnector::Ending::Dropped;
    }
    switch (result) {
    case CURLE_OK:
        if (code < 200 || code >= 300) {
            return Reconnector::Ending::Refused;
        }
        return reconnector_.CleanEnd(delivered_);
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return Reconnector::Ending::Dropped;
    default:
        return Reconnector::Ending::Fatal;
    }
}

bool HttpReader::PauseBeforeReconnect(int ms)
{
    // Stop wakes the poll, so a close never waits for the pause to end.
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (!stop_) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        if (left.count() <= 0) {
            return true;
        }
        curl_multi_poll(multi_, nullptr, 0, static_cast<int>(std::min(left, kPauseSlice).count()), nullptr);
    }
    return false;
}

bool HttpReader::CheckResume(long code)
{
    std::string error;
    if (!reconnector_.CheckResumeAnswer(code, contentRange_, responseLength_, resumeFrom_, &skip_, &error)) {
        fileChanged_ = true;
        Fail(kErrNetwork, error);
        return false;
    }
    return true;
}

// Called under the lock with the filtered bytes of one body callback: drops
// what a resumed answer sends again, and counts the rest.
void HttpReader::TrackDelivered()
{
    const std::int64_t resent = std::min<std::int64_t>(skip_, static_cast<std::int64_t>(filtered_.size()));
    filtered_.erase(filtered_.begin(), filtered_.begin() + static_cast<std::ptrdiff_t>(resent));
    skip_ -= resent;
    delivered_ += static_cast<std::int64_t>(filtered_.size());
    if (!filtered_.empty() && state_.reconnecting) {
        state_.reconnecting = false;
        reconnector_.Recovered();
    }
}

}  // namespace mpxdec
