#pragma once
// The state behind the six exports: whether the library is initialised, the
// network settings, the host's wait function, the last error, and the one
// open Session. All calls come from one thread; the only re-entry is from
// inside the host's wait function while a location connects, and the
// guards below keep that safe (a close there is carried out afterwards).

#include <cstdint>
#include <memory>
#include <string>

#include "mpxdec/ErrorReport.h"
#include "mpxdec/NetworkSupport.h"
#include "mpxdec/Session.h"
#include "mpxdec/mpxdec.h"

namespace mpxdec {

class Library {
public:
    static Library& Instance();

    std::uint32_t Init();
    std::uint32_t Done();
    std::uint32_t Open(const char* location, std::int32_t quality, std::int32_t resolution,
                       std::int32_t downmix, std::int32_t cpuType);
    std::uint32_t GetFrame(void* pcm, std::int32_t* bytes, FrameInfo* info);
    std::uint32_t Close();
    std::uint32_t Command(std::uint32_t code, std::intptr_t p1, std::intptr_t p2, void* out);

private:
    std::uint32_t Start();
    std::uint32_t ErrorText(std::intptr_t status, std::intptr_t size, void* out);
    std::uint32_t CopyTag(TagField field, std::intptr_t size, void* out);
    std::uint32_t StoreInt(std::int64_t value, void* out);
    std::uint32_t NeedSession();
    std::uint32_t NoSession() const;
    std::uint32_t StartNetwork();

    ErrorReport errors_;
    bool initialised_ = false;
    // Loaded by the first network location, not by Init: a player of local
    // files never needs the network and TLS libraries.
    NetworkSupport network_;
    std::unique_ptr<Session> session_;
    WaitHook waitHook_;
    std::string proxyHost_;
    long proxyPort_ = 0;
    std::string noProxy_;
    int openTimeoutMs_;
    int reconnectPauseMs_;
    int waitDepth_ = 0;          // > 0 while a start waits for the network
    bool abortRequested_ = false;
    bool closeRequested_ = false;

    Library();
};

}  // namespace mpxdec
