#pragma once
// A certificate authority of the test's own and a server certificate it
// signed, for 127.0.0.1 only (so "localhost" is another name), made with the openssl tool in a
// folder the caller names: what a company's authority and its servers look
// like to a client that has been told to trust the authority.

#include <string>

namespace testsupport {

class TestCertificates {
public:
    // Makes them (under a second); false with the reason when openssl fails.
    bool Make(const std::string& folder, std::string* error);

    // The authority's certificate, PEM: a bundle of one.
    std::string CaFile() const { return folder_ + "/ca.pem"; }
    // A folder holding the authority under its hashed name, as OpenSSL looks
    // certificates up in a directory.
    std::string CaDir() const { return folder_ + "/ca.d"; }
    // The server's certificate followed by its key, PEM.
    std::string ServerPem() const { return folder_ + "/server.pem"; }

private:
    std::string folder_;
};

}  // namespace testsupport
