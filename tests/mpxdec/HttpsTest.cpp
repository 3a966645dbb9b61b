// A station over TLS: icecast2 serving https with a certificate signed by a
// certificate authority the test makes, trusted the ways a user names a
// company's authority, and refused with a clear reason otherwise.

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/mpxdec/DecodeLoop.h"
#include "tests/mpxdec/NetworkTest.h"
#include "tests/support/IcecastServer.h"
#include "tests/support/TestCertificates.h"

namespace {

constexpr DecoderStatus kStatusNetworkError = 0xC1010024;
const char* const kTrustVariables[] = {"CURL_CA_BUNDLE", "SSL_CERT_FILE", "SSL_CERT_DIR"};

class MpxdecHttps : public mpxtest::NetworkTest {
protected:
    void TearDown() override
    {
        for (const char* name : kTrustVariables) {
            unsetenv(name);
        }
        NetworkTest::TearDown();
    }
};

TEST_F(MpxdecHttps, AStationPlaysOverTlsWhenItsAuthorityIsTrustedAndSaysWhyNotOtherwise)
{
    decoder.Command(mpxtest::kOpenTimeoutCommand, 5000, 0, nullptr);
    testsupport::TestCertificates certificates;
    std::string error;
    ASSERT_TRUE(certificates.Make(testenv::Home() + "/tls", &error)) << error;
    testsupport::IcecastServer station({certificates.ServerPem()});
    ASSERT_TRUE(station.Start(&error)) << error;
    const std::string otherName = "https://localhost:" + std::to_string(station.HttpsPort()) + station.kMount;

    struct Case {
        const char* name;
        const char* variable;  // nullptr: none set
        std::string value;
        std::string url;
        const char* text;  // nullptr: it plays
    };
    const Case cases[] = {
        {"the bundle in CURL_CA_BUNDLE", "CURL_CA_BUNDLE", certificates.CaFile(), station.HttpsUrl(), nullptr},
        {"the bundle in SSL_CERT_FILE", "SSL_CERT_FILE", certificates.CaFile(), station.HttpsUrl(), nullptr},
        {"the folder in SSL_CERT_DIR", "SSL_CERT_DIR", certificates.CaDir(), station.HttpsUrl(), nullptr},
        {"no authority named", nullptr, "", station.HttpsUrl(), "The server's certificate is not trusted"},
        {"a bundle that is not there", "CURL_CA_BUNDLE", testenv::Home() + "/no-such.pem", station.HttpsUrl(),
         "The certificate authorities named by CURL_CA_BUNDLE cannot be read"},
        {"a certificate for another name", "CURL_CA_BUNDLE", certificates.CaFile(), otherName,
         "The server's certificate is not trusted"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* name : kTrustVariables) {
            unsetenv(name);
        }
        if (c.variable != nullptr) {
            setenv(c.variable, c.value.c_str(), 1);
        }
        DecoderStatus status = OpenUrl(c.url);
        if (c.text == nullptr) {
            ASSERT_EQ(status, kStatusMaySave) << decoder.ErrorText(status);
            EXPECT_EQ(Kind(), 4);
            mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder, std::chrono::milliseconds(500));
            EXPECT_GT(run.frames.size(), 20u) << "a burst of the station's audio";
            EXPECT_FALSE(IsError(run.last)) << decoder.ErrorText(run.last);
        } else {
            EXPECT_EQ(status, kStatusNetworkError) << std::hex << status;
            EXPECT_NE(decoder.ErrorText(status).find(c.text), std::string::npos) << decoder.ErrorText(status);
        }
        decoder.Close();
    }
}

}  // namespace
