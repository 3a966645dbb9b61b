#include "mpxdec/Status.h"

namespace mpxdec {

const char* GenericText(std::uint32_t status)
{
    switch (status) {
    case kErrNotInitialised: return "The decoder library is not initialised";
    case kErrNoStream: return "No stream is open";
    case kErrBadArgument: return "Invalid argument";
    case kErrUnknownCommand: return "Unknown command";
    case kErrBusy: return "The decoder is busy opening a stream";
    case kErrWrongVersion: return "Wrong decoder library version";
    case kErrNoSuchFile: return "No such file";
    case kErrCannotRead: return "The file cannot be read";
    case kErrNotMpeg: return "Not MPEG audio";
    case kErrDecode: return "The MPEG audio data cannot be decoded";
    case kErrUnsupportedLocation: return "Unsupported location";
    case kErrHttpStatus: return "The server answered with an HTTP error";
    case kErrConnectionRefused: return "Connection refused";
    case kErrHostNotFound: return "Host not found";
    case kErrTimedOut: return "Timed out";
    case kErrNetwork: return "Network error";
    case kErrSave: return "Saving the stream failed";
    default: return nullptr;
    }
}

}  // namespace mpxdec
