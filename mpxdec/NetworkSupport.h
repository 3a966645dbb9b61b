#pragma once
// Loads the network module (libmpxdec_http.so, beside this library) on the
// first network location and keeps it for the life of the process. Local
// files never load it, which keeps libcurl and the TLS libraries it pulls in
// out of a player that plays only files.
//
// Called only on the library's caller's thread.

#include <memory>
#include <string>

#include "mpxdec/HttpSource.h"

namespace mpxdec {

class NetworkSupport {
public:
    // Loads and initialises the module once; false with the reason when it
    // cannot be had. The environment variable MPXDEC_HTTP_MODULE names
    // another module file (for installations that keep it elsewhere).
    bool Start(std::string* error);
    // Undoes the initialisation (the module stays mapped); no transfer may run.
    void Stop();

    // A new transfer; only after a successful Start.
    std::unique_ptr<HttpSource> CreateSource() const;

private:
    bool Load(std::string* error);

    void* module_ = nullptr;
    HttpModuleInit init_ = nullptr;
    HttpModuleCleanup cleanup_ = nullptr;
    HttpSourceCreate create_ = nullptr;
    bool started_ = false;
};

}  // namespace mpxdec
