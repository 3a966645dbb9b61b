#include "tests/support/TinyProxy.h"

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/support/LocalPort.h"
#include "tests/support/TestEnvironment.h"

namespace testsupport {

TinyProxy::TinyProxy() : port_(FreePort()), log_(testenv::Home() + "/tinyproxy-" + std::to_string(port_) + ".log")
{
    const std::string config = testenv::Home() + "/tinyproxy-" + std::to_string(port_) + ".conf";
    // LogLevel Connect records each request line, so a test can tell what
    // went through the proxy.
    std::ofstream(config) << "Port " << port_ << "\nListen 127.0.0.1\nTimeout 10\nMaxClients 20\n"
                          << "Allow 127.0.0.1\nLogLevel Connect\nLogFile \"" << log_ << "\"\n";
    if (!process_.Start({"tinyproxy", "-d", "-c", config}, log_ + ".out", std::nullopt, &error_)) {
        return;
    }
    for (int i = 0; i < 250 && !Accepts(port_); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool TinyProxy::Running() const
{
    return Accepts(port_);
}

std::string TinyProxy::Url() const
{
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> TinyProxy::Requests() const
{
    std::vector<std::string> requests;
    std::ifstream in(log_);
    const std::string mark = "]: Request (file descriptor ";
    for (std::string line; std::getline(in, line);) {
        std::size_t at = line.find(mark);
        std::size_t colon = at == std::string::npos ? at : line.find(": ", at + mark.size());
        if (colon != std::string::npos) {
            requests.push_back(line.substr(colon + 2));
        }
    }
    return requests;
}

}  // namespace testsupport
