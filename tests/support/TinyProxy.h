#pragma once
// A real HTTP proxy for the tests: tinyproxy in the foreground on a free
// port of 127.0.0.1, its configuration and log in the test's HOME. The
// destructor stops it.

#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace testsupport {

class TinyProxy {
public:
    // Starts it and waits until it accepts connections.
    TinyProxy();
    TinyProxy(const TinyProxy&) = delete;
    TinyProxy& operator=(const TinyProxy&) = delete;

    int Port() const { return port_; }
    bool Running() const;
    // "http://127.0.0.1:port", as the environment's proxy variables take it.
    std::string Url() const;
    // The request lines it has forwarded, "GET http://host:port/path HTTP/1.1".
    std::vector<std::string> Requests() const;
    // Why it is not running, when it is not.
    const std::string& Error() const { return error_; }

private:
    int port_;
    std::string log_;
    std::string error_;
    ChildProcess process_;
};

}  // namespace testsupport
