#include "mpxdec/HttpReader.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include <sys/socket.h>

#include "mpxdec/Status.h"
#include "mpxdec/StreamTags.h"
#include "mpxdec/TlsTrust.h"

namespace mpxdec {

namespace {

// A paused transfer resumes once this much room is free, so it does not
// stop and start for every small read.
constexpr std::size_t kResumeRoom = 64 * 1024;
// The longest the transfer thread sleeps when nothing wakes it: data, a
// wake-up (stop, room freed, a save) or the time-out's deadline all end the
// wait sooner, so this only bounds how stale a check can get.
constexpr int kLongestPollMs = 1000;
constexpr long kMaxRedirects = 5;
// The kernel's receive buffer for the stream's socket (the kernel doubles
// it for its own overhead). Left alone it grows with every fast read, up to
// tens of megabytes, and a paused transfer then leaves it to fill: a fixed
// size bounds it whatever the timing. It holds seconds of audio at the
// highest MPEG bit rate, so even a slow round trip keeps up with playback.
// Set before connecting, so the window scale agreed on fits it.
constexpr int kSocketReceiveBuffer = 256 * 1024;
// A leading ID3v2 tag larger than this is not kept for a save: the decoder
// skips it too, and keeping it would let a server make memory grow at will.
constexpr std::int64_t kLargestKeptTag = 1024 * 1024;
constexpr std::size_t kTagHeaderBytes = 10;

int LimitReceiveBuffer(void*, curl_socket_t socket, curlsocktype purpose)
{
    if (purpose == CURLSOCKTYPE_IPCXN) {
        setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &kSocketReceiveBuffer, sizeof kSocketReceiveBuffer);
    }
    return CURL_SOCKOPT_OK;
}

std::string Trim(std::string s)
{
    auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    s.erase(s.begin(), std::find_if_not(s.begin(), s.end(), blank));
    s.erase(std::find_if_not(s.rbegin(), s.rend(), blank).base(), s.end());
    return s;
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool StartsWith(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

std::string Seconds(int ms)
{
    return std::to_string((ms + 999) / 1000) + " s";
}

}  // namespace

HttpReader::HttpReader(std::size_t capacity) : capacity_(capacity) {}

HttpReader::~HttpReader()
{
    Stop();
    if (multi_ != nullptr) {
        if (easy_ != nullptr) {
            curl_multi_remove_handle(multi_, easy_);
        }
        curl_multi_cleanup(multi_);
    }
    if (easy_ != nullptr) {
        curl_easy_cleanup(easy_);
    }
    curl_slist_free_all(headerList_);
    curl_slist_free_all(aliasList_);
}

bool HttpReader::Start(const HttpRequest& request, std::string* error)
{
    easy_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (easy_ == nullptr || multi_ == nullptr) {
        *error = "The network library cannot be started";
        return false;
    }
    timeoutMs_ = request.timeoutMs;
    reconnector_ = Reconnector(request.reconnectPauseMs);
    for (const std::string& header : request.headers) {
        headerList_ = curl_slist_append(headerList_, header.c_str());
    }
    // Ask for stream titles; IcyFilter takes the blocks out again.
    headerList_ = curl_slist_append(headerList_, "Icy-MetaData: 1");
    aliasList_ = curl_slist_append(aliasList_, "ICY 200 OK");

    curl_easy_setopt(easy_, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headerList_);
    curl_easy_setopt(easy_, CURLOPT_HTTP200ALIASES, aliasList_);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &HttpReader::HeaderCallback);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &HttpReader::BodyCallback);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, curlError_);
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy_, CURLOPT_SOCKOPTFUNCTION, &LimitReceiveBuffer);
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.timeoutMs));
    trust_ = TlsTrust::FromEnvironment();
    trust_.Apply(easy_);
    if (!request.proxyHost.empty()) {
        curl_easy_setopt(easy_, CURLOPT_PROXY, request.proxyHost.c_str());
        if (request.proxyPort > 0) {
            curl_easy_setopt(easy_, CURLOPT_PROXYPORT, request.proxyPort);
        }
        curl_easy_setopt(easy_, CURLOPT_NOPROXY, request.noProxy.c_str());
    }
    curl_multi_add_handle(multi_, easy_);

    lastProgress_ = Clock::now();
    state_.lastData = lastProgress_;
    thread_ = std::thread(&HttpReader::Run, this, false);
    return true;
}

void HttpReader::Stop()
{
    if (!thread_.joinable()) {
        return;
    }
    stop_ = true;
    curl_multi_wakeup(multi_);
    thread_.join();
}

void HttpReader::Run(bool afterLoss)
{
    CURLcode result = lastResult_;
    bool stalled = lastStalled_;
    if (!afterLoss) {
        result = Transfer(&stalled);
    }
    while (!stop_ && Reconnect(result, stalled)) {
        stalled = false;
        result = Transfer(&stalled);
    }
    lastResult_ = result;
    lastStalled_ = stalled;
    Finish(result);
}

// Runs one connection until it ends, stalls, or the reader stops.
CURLcode HttpReader::Transfer(bool* stalled)
{
    for (;;) {
        if (stop_) {
            Fail(kAborted, "Aborted");
            return CURLE_OK;
        }
        bool resume = false;
        bool waiting = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (paused_ && !Held(kResumeRoom)) {
                // The pause was ours, not the server's: neither a time-out
                // nor a stall counts it.
                paused_ = false;
                resume = true;
                lastProgress_ = Clock::now();
                state_.lastData = lastProgress_;
            }
            waiting = !paused_ && Clock::now() - lastProgress_ > std::chrono::milliseconds(timeoutMs_);
        }
        if (waiting && reconnectArmed_) {
            *stalled = true;
            return CURLE_OK;
        }
        if (waiting) {
            bool answered = Snapshot().bodyStarted;
            Fail(kErrTimedOut, answered ? "Timed out: the server sent nothing for " + Seconds(timeoutMs_)
                                        : "Timed out: no answer from the server within " + Seconds(timeoutMs_));
            return CURLE_OK;
        }
        if (resume) {
            curl_easy_pause(easy_, CURLPAUSE_CONT);
        }
        int running = 0;
        curl_multi_perform(multi_, &running);
        int left = 0;
        bool done = false;
        CURLcode result = CURLE_OK;
        while (CURLMsg* msg = curl_multi_info_read(multi_, &left)) {
            if (msg->msg == CURLMSG_DONE) {
                result = msg->data.result;
                done = true;
            }
        }
        if (done || running == 0) {
            return result;
        }
        curl_multi_poll(multi_, nullptr, 0, QuietMs(), nullptr);
    }
}

std::size_t HttpReader::HeaderCallback(char* data, std::size_t size, std::size_t count, void* self)
{
    return static_cast<HttpReader*>(self)->OnHeader(data, size * count);
}

std::size_t HttpReader::BodyCallback(char* data, std::size_t size, std::size_t count, void* self)
{
    return static_cast<HttpReader*>(self)->OnBody(data, size * count);
}

std::size_t HttpReader::OnHeader(const char* data, std::size_t size)
{
    std::string line = Trim(std::string(data, size));
    std::lock_guard<std::mutex> lock(mutex_);
    lastProgress_ = Clock::now();
    if (StartsWith(line, "HTTP/") || StartsWith(line, "ICY ")) {
        // A new response (after a redirect, say) replaces what came before.
        std::size_t codeEnd = line.find(' ', line.find(' ') + 1);
        reason_ = codeEnd == std::string::npos ? "" : Trim(line.substr(codeEnd));
        contentType_.clear();
        responseLength_ = -1;
        responseIcy_ = StartsWith(line, "ICY ");
        contentRange_.clear();
        metaInterval_ = 0;
        return size;
    }
    std::size_t colon = line.find(':');
    if (colon == std::string::npos) {
        return size;
    }
    std::string name = Lower(Trim(line.substr(0, colon)));
    std::string value = Trim(line.substr(colon + 1));
    if (name == "content-type") {
        contentType_ = Lower(value);
    } else if (name == "content-length") {
        responseLength_ = std::strtoll(value.c_str(), nullptr, 10);
    } else if (name == "content-range") {
        contentRange_ = value;
    } else if (StartsWith(name, "icy-")) {
        responseIcy_ = true;
        if (name == "icy-metaint") {
            metaInterval_ = static_cast<std::size_t>(std::strtoul(value.c_str(), nullptr, 10));
        }
    }
    return size;
}

bool HttpReader::AcceptResponse()
{
    long code = 0;
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &code);
    if (code < 200 || code >= 300) {
        Fail(kErrHttpStatus, "HTTP " + std::to_string(code) + (reason_.empty() ? "" : " " + reason_));
        return false;
    }
    std::string type;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        type = contentType_;
    }
    // A page instead of audio: a login portal, an error page sent with 200.
    if (StartsWith(type, "text/") || type.find("html") != std::string::npos ||
        type.find("json") != std::string::npos || type.find("xml") != std::string::npos) {
        Fail(kErrNotMpeg, "The server sent " + type.substr(0, type.find(';')) + ", not MPEG audio");
        return false;
    }
    if (resumeFrom_ > 0 && !CheckResume(code)) {
        return false;
    }
    icyFilter_ = IcyFilter(metaInterval_);
    answered_ = true;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!state_.bodyStarted) {
        // The first answer tells what the stream is; a reconnection's
        // answer (a range, say) does not change that.
        state_.contentLength = responseLength_;
        state_.icy = responseIcy_;
        state_.bodyStarted = true;
    }
    return true;
}

int HttpReader::QuietMs() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    // A pause of ours counts no time; the read that frees room wakes us.
    if (paused_) {
        return kLongestPollMs;
    }
    // Waking only when the time-out is due, not on a fixed beat: a station
    // that sends every few hundred milliseconds would otherwise wake this
    // thread twice for each piece.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(
        lastProgress_ + std::chrono::milliseconds(timeoutMs_) - Clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 1, kLongestPollMs));
}

bool HttpReader::Held(std::size_t incoming) const
{
    if (saveOnly_) {
        // Until the file is named, everything waits in the history.
        return !save_.IsOpen() && !history_.empty() && history_.size() + incoming > 2 * capacity_;
    }
    return queue_.Size() > 0 && queue_.Size() + incoming > capacity_;
}

std::size_t HttpReader::OnBody(const char* data, std::size_t size)
{
    if (!answered_ && !AcceptResponse()) {
        return 0;  // ends the transfer; the reason is recorded
    }
    std::unique_lock<std::mutex> lock(mutex_);
    if (Held(size)) {
        paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    filtered_.clear();
    icyFilter_.Filter(reinterpret_cast<const std::uint8_t*>(data), size, filtered_);
    std::string title;
    if (icyFilter_.TakeTitle(&title) && title != title_) {
        title_ = title;
        ++titleChanges_;
    }
    TrackDelivered();
    if (keepHistory_) {
        std::size_t skip = static_cast<std::size_t>(
            std::min<std::int64_t>(historyTagLeft_, static_cast<std::int64_t>(filtered_.size())));
        historyTagLeft_ -= static_cast<std::int64_t>(skip);
        history_.insert(history_.end(), filtered_.begin() + static_cast<std::ptrdiff_t>(skip), filtered_.end());
        if (!historyChecked_ && history_.size() >= kTagHeaderBytes) {
            historyChecked_ = true;
            std::int64_t tag = Id3v2TagBytes(history_.data());
            if (tag > kLargestKeptTag) {
                historyTagLeft_ = tag - static_cast<std::int64_t>(history_.size());
                history_.clear();
            }
        }
    }
    save_.Write(filtered_.data(), filtered_.size());
    if (!saveOnly_) {
        queue_.Push(filtered_.data(), filtered_.size());
    }
    lastProgress_ = Clock::now();
    state_.lastData = lastProgress_;
    lock.unlock();
    changed_.notify_all();
    return size;
}

void HttpReader::Finish(CURLcode result)
{
    long code = 0;
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &code);
    std::string detail = curlError_[0] != '\0' ? curlError_ : curl_easy_strerror(result);
    State state = Snapshot();
    if (state.errorStatus == 0) {
        switch (result) {
        case CURLE_OK:
            if (!answered_ && (code < 200 || code >= 300)) {
                Fail(kErrHttpStatus, "HTTP " + std::to_string(code) + (reason_.empty() ? "" : " " + reason_));
            }
            break;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            Fail(kErrHostNotFound, "Host not found: " + detail);
            break;
        case CURLE_COULDNT_CONNECT:
            Fail(kErrConnectionRefused, "Connection refused: " + detail);
            break;
        case CURLE_OPERATION_TIMEDOUT:
            Fail(kErrTimedOut, "Timed out: " + detail);
            break;
        case CURLE_TOO_MANY_REDIRECTS:
            Fail(kErrNetwork, "Too many redirects (more than " + std::to_string(kMaxRedirects) + ")");
            break;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
            Fail(kErrNetwork, "The server closed the connection early: " + detail);
            break;
        case CURLE_UNSUPPORTED_PROTOCOL:
            // Also what libcurl says of a status line it cannot read; only a
            // scheme it refuses (after a redirect, say) is the location's fault.
            if (detail.find("HTTP") != std::string::npos) {
                Fail(kErrNetwork, "The server's answer is not HTTP: " + detail);
            } else {
                Fail(kErrUnsupportedLocation, "Unsupported location: " + detail);
            }
            break;
        case CURLE_WEIRD_SERVER_REPLY:
            Fail(kErrNetwork, "The server's answer is not HTTP: " + detail);
            break;
        case CURLE_OUT_OF_MEMORY:
            // libcurl refuses a header line past its limit with this code.
            if (code != 0) {
                Fail(kErrNetwork, "The server sent a header line too long (more than " +
                                      std::to_string(CURL_MAX_HTTP_HEADER / 1024) + " KiB)");
            } else {
                Fail(kErrNetwork, "Network error: " + detail);
            }
            break;
        default: {
            std::string tls;
            Fail(kErrNetwork, trust_.Describe(result, detail, &tls) ? tls : "Network error: " + detail);
            break;
        }
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state_.finished = true;
        state_.reconnecting = false;
        save_.Close();
    }
    changed_.notify_all();
}

void HttpReader::Fail(std::uint32_t status, std::string text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_.errorStatus == 0) {
        state_.errorStatus = status;
        state_.errorText = std::move(text);
    }
}

std::size_t HttpReader::Read(std::uint8_t* dst, std::size_t max)
{
    std::size_t n = 0;
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        n = queue_.Pop(dst, max);
        wake = paused_ && !Held(kResumeRoom);
    }
    if (wake) {
        curl_multi_wakeup(multi_);
    }
    return n;
}

void HttpReader::WaitForData(std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, limit, [this] { return queue_.Size() > 0 || state_.finished; });
}

HttpReader::State HttpReader::Snapshot() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

std::string HttpReader::Title() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return title_;
}

}  // namespace mpxdec
