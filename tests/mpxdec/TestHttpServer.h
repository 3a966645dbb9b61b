#pragma once
// A small HTTP server on 127.0.0.1 for the decoder's network tests. Each
// path is answered by a handler that writes the raw response itself, so a
// test can send slowly, in chunks, stall, close early or speak ICY. Every
// connection runs on its own thread; Stop (or the destructor) unblocks and
// joins them all. The server can also stop listening for a while, so that
// connections are refused as by a server that is down.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace mpxtest {

struct SeenRequest {
    std::string method;
    std::string target;
    std::map<std::string, std::string> headers;  // names in lower case
    std::chrono::steady_clock::time_point at;     // when its head had arrived
};

class TestHttpServer;

class HttpConnection {
public:
    HttpConnection(TestHttpServer& server, int fd, SeenRequest request);
    // False once the client is gone or the server stops.
    bool Send(const void* data, std::size_t size);
    bool Send(const std::string& text) { return Send(text.data(), text.size()); }
    // Sleeps, waking early (and answering false) when the server stops.
    bool Pause(std::chrono::milliseconds time);
    const SeenRequest& Request() const { return request_; }
    // Ends the connection now, as a server that goes away; the handler may go on waiting.
    void Close();

private:
    TestHttpServer& server_;
    int fd_;
    SeenRequest request_;
};

class TestHttpServer {
public:
    using Handler = std::function<void(HttpConnection&)>;

    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    // Register every route before the first request.
    void Route(const std::string& path, Handler handler);
    // A small send buffer makes the kernel hold back less for a slow reader.
    void SetSendBuffer(int bytes) { sendBuffer_ = bytes; }
    int Port() const { return port_; }
    std::string Url(const std::string& path) const;
    std::vector<SeenRequest> Requests() const;
    std::int64_t BytesSent() const { return bytesSent_; }
    void Stop();
    // Closes the listening socket, so connections are refused, and opens it
    // again on the same port. Both return once it is done.
    void StopListening();
    void ResumeListening();

    // 200 with Content-Length and the whole body at once.
    static Handler File(std::vector<std::uint8_t> body, const std::string& type = "audio/mpeg");

private:
    friend class HttpConnection;
    void AcceptLoop();
    void Serve(int fd);

    int listenFd_ = -1;
    int port_ = 0;
    int sendBuffer_ = 0;
    std::map<std::string, Handler> routes_;
    std::thread acceptThread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> listening_{true};
    std::atomic<bool> listenChanged_{false};
    std::atomic<std::int64_t> bytesSent_{0};
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    std::vector<SeenRequest> requests_;
    std::set<int> open_;
    std::vector<std::thread> workers_;
};

// An unused port on 127.0.0.1 with nothing listening on it.
int ClosedPort();

}  // namespace mpxtest
