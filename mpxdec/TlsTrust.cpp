#include "mpxdec/TlsTrust.h"

#include <cstdlib>

namespace mpxdec {

namespace {

std::string Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

TlsTrust TlsTrust::FromEnvironment()
{
    TlsTrust trust;
    trust.file_ = Variable("CURL_CA_BUNDLE");
    if (!trust.file_.empty()) {
        trust.fileVariable_ = "CURL_CA_BUNDLE";
        return trust;
    }
    trust.file_ = Variable("SSL_CERT_FILE");
    if (!trust.file_.empty()) {
        trust.fileVariable_ = "SSL_CERT_FILE";
    }
    trust.dir_ = Variable("SSL_CERT_DIR");
    return trust;
}

void TlsTrust::Apply(CURL* easy) const
{
    if (!file_.empty()) {
        curl_easy_setopt(easy, CURLOPT_CAINFO, file_.c_str());
    }
    if (!dir_.empty()) {
        curl_easy_setopt(easy, CURLOPT_CAPATH, dir_.c_str());
    }
}

std::string TlsTrust::Named(bool withValues) const
{
    std::string named;
    if (!file_.empty()) {
        named = fileVariable_ + (withValues ? "=" + file_ : "");
    }
    if (!dir_.empty()) {
        named += (named.empty() ? "" : " and ") + std::string("SSL_CERT_DIR") + (withValues ? "=" + dir_ : "");
    }
    return named;
}

bool TlsTrust::Describe(CURLcode result, const std::string& detail, std::string* text) const
{
    const std::string named = Named(true);
    switch (result) {
    case CURLE_PEER_FAILED_VERIFICATION:
        *text = "The server's certificate is not trusted (" + detail + "). ";
        *text += named.empty() ? "A company's certificate authority can be named in CURL_CA_BUNDLE or SSL_CERT_FILE."
                               : "Trusted are the system's certificate authorities and " + named + ".";
        return true;
    case CURLE_SSL_CACERT_BADFILE:
        *text = named.empty() ? "The system's certificate authorities cannot be read: " + detail
                              : "The certificate authorities named by " + Named(false) + " cannot be read (" +
                                    detail + ")";
        return true;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
        *text = "The secure connection failed: " + detail;
        return true;
    default:
        return false;
    }
}

}  // namespace mpxdec
