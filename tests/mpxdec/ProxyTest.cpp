// Fetching through a real proxy (tinyproxy, started here on 127.0.0.1): the
// proxy set by command, the environment's proxy when none is set, and the
// hosts listed as reached directly in either case.

#include <gtest/gtest.h>

#include "tests/mpxdec/NetworkTest.h"
#include "tests/support/TinyProxy.h"

namespace {

using mpxtest::TestHttpServer;
using testsupport::TinyProxy;

class MpxdecProxy : public mpxtest::NetworkTest {
protected:
    void SetProxy(const std::string& host, int port, const std::string& noProxy)
    {
        decoder.Command(DecoderCommand::Proxy, reinterpret_cast<std::intptr_t>(host.c_str()), port, nullptr);
        decoder.Command(DecoderCommand::NoProxy, reinterpret_cast<std::intptr_t>(noProxy.c_str()), 0, nullptr);
    }
};

TEST_F(MpxdecProxy, TheProxyAndTheHostsReachedDirectlyAreHonoured)
{
    TinyProxy proxy;
    ASSERT_TRUE(proxy.Running()) << "tinyproxy (package tinyproxy-bin) did not start. " << proxy.Error();
    server.Route("/plain", TestHttpServer::File(song));
    const std::string proxyUrl = proxy.Url();

    struct Case {
        const char* name;
        std::string host;
        int port;
        std::string noProxy;
        const char* envProxy;
        const char* envNoProxy;
        bool viaProxy;
    };
    const Case cases[] = {
        {"proxy set", "127.0.0.1", proxy.Port(), "", nullptr, nullptr, true},
        {"proxy set, server listed as direct", "127.0.0.1", proxy.Port(), "example.org,127.0.0.1", nullptr, nullptr,
         false},
        {"the user's proxy wins over the environment's", "127.0.0.1", proxy.Port(), "", "http://127.0.0.1:9",
         nullptr, true},
        {"no proxy set: the environment's applies", "", 0, "", proxyUrl.c_str(), nullptr, true},
        {"no proxy set: the environment's exceptions apply", "", 0, "", proxyUrl.c_str(), "127.0.0.1", false},
        {"no proxy anywhere", "", 0, "", nullptr, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unsetenv("http_proxy");
        unsetenv("no_proxy");
        if (c.envProxy != nullptr) {
            setenv("http_proxy", c.envProxy, 1);
        }
        if (c.envNoProxy != nullptr) {
            setenv("no_proxy", c.envNoProxy, 1);
        }
        SetProxy(c.host, c.port, c.noProxy);
        const std::size_t before = server.Requests().size();
        DecoderStatus status = OpenUrl(server.Url("/plain"));
        ASSERT_EQ(status, kStatusMaySave) << decoder.ErrorText(status);
        ASSERT_EQ(server.Requests().size(), before + 1);
        const auto headers = server.Requests().back().headers;
        const bool via = headers.count("via") > 0 && headers.at("via").find("tinyproxy") != std::string::npos;
        EXPECT_EQ(via, c.viaProxy);
        decoder.Close();
    }
}

TEST_F(MpxdecProxy, AProxyThatIsDownIsNamedInTheError)
{
    SetProxy("127.0.0.1", mpxtest::ClosedPort(), "");
    server.Route("/plain", TestHttpServer::File(song));
    DecoderStatus status = OpenUrl(server.Url("/plain"));
    ASSERT_TRUE(IsError(status));
    EXPECT_NE(decoder.ErrorText(status).find("Connection refused"), std::string::npos) << decoder.ErrorText(status);
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
