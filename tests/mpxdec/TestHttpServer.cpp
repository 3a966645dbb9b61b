#include "tests/mpxdec/TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace mpxtest {

namespace {

// port 0: any free port.
int BoundSocket(sockaddr_in* address, int port = 0)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    address->sin_family = AF_INET;
    address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address->sin_port = htons(static_cast<std::uint16_t>(port));
    socklen_t length = sizeof *address;
    bind(fd, reinterpret_cast<sockaddr*>(address), length);
    getsockname(fd, reinterpret_cast<sockaddr*>(address), &length);
    return fd;
}

SeenRequest Parse(const std::string& head)
{
    SeenRequest request;
    std::size_t lineEnd = head.find("\r\n");
    std::string first = head.substr(0, lineEnd);
    std::size_t a = first.find(' ');
    std::size_t b = first.find(' ', a + 1);
    request.method = first.substr(0, a);
    request.target = first.substr(a + 1, b - a - 1);
    std::size_t pos = lineEnd + 2;
    while (pos < head.size()) {
        std::size_t end = head.find("\r\n", pos);
        std::string line = head.substr(pos, end - pos);
        pos = end == std::string::npos ? head.size() : end + 2;
        std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        std::string name = line.substr(0, colon);
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        std::size_t valueStart = line.find_first_not_of(' ', colon + 1);
        request.headers[name] = valueStart == std::string::npos ? "" : line.substr(valueStart);
    }
    return request;
}

}  // namespace

int ClosedPort()
{
    sockaddr_in address{};
    int fd = BoundSocket(&address);
    close(fd);
    return ntohs(address.sin_port);
}

HttpConnection::HttpConnection(TestHttpServer& server, int fd, SeenRequest request)
    : server_(server), fd_(fd), request_(std::move(request))
{
}

bool HttpConnection::Send(const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0 && !server_.stopping_) {
        // Small pieces keep BytesSent close to what the client took.
        ssize_t n = send(fd_, p, std::min<std::size_t>(size, 16 * 1024), MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        server_.bytesSent_ += n;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return size == 0;
}

void HttpConnection::Close()
{
    shutdown(fd_, SHUT_RDWR);
}

bool HttpConnection::Pause(std::chrono::milliseconds time)
{
    std::unique_lock<std::mutex> lock(server_.mutex_);
    return !server_.stopped_.wait_for(lock, time, [this] { return server_.stopping_.load(); });
}

TestHttpServer::TestHttpServer()
{
    sockaddr_in address{};
    listenFd_ = BoundSocket(&address);
    port_ = ntohs(address.sin_port);
    listen(listenFd_, 16);
    acceptThread_ = std::thread(&TestHttpServer::AcceptLoop, this);
}

TestHttpServer::~TestHttpServer()
{
    Stop();
}

void TestHttpServer::Route(const std::string& path, Handler handler)
{
    std::lock_guard<std::mutex> lock(mutex_);
    routes_[path] = std::move(handler);
}

std::string TestHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<SeenRequest> TestHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void TestHttpServer::Stop()
{
    if (stopping_.exchange(true)) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int fd : open_) {
            shutdown(fd, SHUT_RDWR);
        }
    }
    stopped_.notify_all();
    acceptThread_.join();
    if (listenFd_ >= 0) {
        close(listenFd_);
    }
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

void TestHttpServer::StopListening()
{
    listening_ = false;
    listenChanged_ = true;
    while (listenChanged_ && !stopping_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void TestHttpServer::ResumeListening()
{
    listening_ = true;
    listenChanged_ = true;
    while (listenChanged_ && !stopping_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void TestHttpServer::AcceptLoop()
{
    while (!stopping_) {
        if (listenChanged_) {
            // Only this thread touches the listening socket.
            if (listening_ && listenFd_ < 0) {
                sockaddr_in address{};
                listenFd_ = BoundSocket(&address, port_);
                listen(listenFd_, 16);
            } else if (!listening_ && listenFd_ >= 0) {
                close(listenFd_);
                listenFd_ = -1;
            }
            listenChanged_ = false;
        }
        if (listenFd_ < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        pollfd p{listenFd_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) {
            continue;
        }
        int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        if (sendBuffer_ > 0) {
            setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sendBuffer_, sizeof sendBuffer_);
        }
        std::lock_guard<std::mutex> lock(mutex_);
        open_.insert(fd);
        workers_.emplace_back(&TestHttpServer::Serve, this, fd);
    }
}

void TestHttpServer::Serve(int fd)
{
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && !stopping_) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) {
            continue;
        }
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        head.append(buffer, static_cast<std::size_t>(n));
    }
    if (head.find("\r\n\r\n") != std::string::npos) {
        SeenRequest request = Parse(head.substr(0, head.find("\r\n\r\n") + 2));
        request.at = std::chrono::steady_clock::now();
        Handler handler;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request);
            // A proxy asks for the whole URL; the route is its path.
            std::string path = request.target;
            if (path.rfind("http://", 0) == 0) {
                path = path.substr(path.find('/', 7));
            }
            auto route = routes_.find(path.substr(0, path.find('?')));
            if (route != routes_.end()) {
                handler = route->second;
            }
        }
        HttpConnection connection(*this, fd, request);
        if (handler) {
            handler(connection);
        } else {
            connection.Send("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_.erase(fd);
    }
    shutdown(fd, SHUT_WR);
    close(fd);
}

TestHttpServer::Handler TestHttpServer::File(std::vector<std::uint8_t> body, const std::string& type)
{
    return [body = std::move(body), type](HttpConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Type: " + type + "\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\n\r\n");
        c.Send(body.data(), body.size());
    };
}

}  // namespace mpxtest
