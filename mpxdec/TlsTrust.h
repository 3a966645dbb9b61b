#pragma once
// Which certificate authorities an https transfer trusts, and what to tell
// the user when a secure connection fails.
//
// libcurl trusts the system's store (the bundle and folder built into it)
// and reads no variable: the curl tool reads CURL_CA_BUNDLE, and OpenSSL's
// own SSL_CERT_FILE and SSL_CERT_DIR are not consulted once a bundle is
// set, as it is by default. People behind a company's certificate authority
// name its bundle in those variables, so the transfers honour them as the
// curl tool does: CURL_CA_BUNDLE names the bundle file; without it
// SSL_CERT_FILE names the file and SSL_CERT_DIR a folder of certificates
// under their hashed names. What no variable names stays the system's.
//
// Threads: made and applied on the caller's thread before the transfer
// starts; Describe runs on the reader's thread once it has ended.

#include <string>

#include <curl/curl.h>

namespace mpxdec {

class TlsTrust {
public:
    // Reads the variables now; empty ones count as unset.
    static TlsTrust FromEnvironment();
    void Apply(CURL* easy) const;
    // The user's text for a failed TLS result; false for any other result.
    bool Describe(CURLcode result, const std::string& detail, std::string* text) const;

private:
    // The variables honoured, "CURL_CA_BUNDLE=/a.pem" or just their names.
    std::string Named(bool withValues) const;

    std::string file_;
    std::string fileVariable_;
    std::string dir_;
};

}  // namespace mpxdec
