#include "tests/support/TestCertificates.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace testsupport {

bool TestCertificates::Make(const std::string& folder, std::string* error)
{
    folder_ = folder;
    const std::string f = folder + "/";
    const std::string log = f + "openssl.log";
    std::filesystem::create_directories(CaDir());
    std::ofstream(f + "server.ext") << "basicConstraints=CA:FALSE\n"
                                       "keyUsage=critical,digitalSignature\n"
                                       "extendedKeyUsage=serverAuth\n"
                                       "subjectAltName=IP:127.0.0.1\n";
    // P-256 keys: made in milliseconds, where RSA keys can take seconds.
    const std::vector<std::vector<std::string>> steps = {
        {"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
         f + "ca.key", "-out", CaFile(), "-days", "2", "-subj", "/CN=Brelune3 Test Authority", "-addext",
         "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign"},
        {"openssl", "req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
         f + "server.key", "-out", f + "server.csr", "-subj", "/CN=127.0.0.1"},
        {"openssl", "x509", "-req", "-in", f + "server.csr", "-CA", CaFile(), "-CAkey", f + "ca.key",
         "-CAcreateserial", "-days", "2", "-extfile", f + "server.ext", "-out", f + "server.crt"},
    };
    for (const auto& step : steps) {
        if (!ChildProcess::Run(step, log, error)) {
            return false;
        }
    }
    {
        std::ofstream pem(ServerPem(), std::ios::binary);
        for (const char* part : {"server.crt", "server.key"}) {
            std::ifstream in(f + part, std::ios::binary);
            pem << in.rdbuf();
        }
    }
    std::filesystem::copy_file(CaFile(), CaDir() + "/ca.pem");
    return ChildProcess::Run({"openssl", "rehash", CaDir()}, log, error);
}

}  // namespace testsupport
