#include "mpxdec/Reconnector.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace mpxdec {

Reconnector::Reconnector(int firstPauseMs)
    : firstPauseMs_(firstPauseMs > 0 ? firstPauseMs : kDefaultFirstPauseMs)
{
}

void Reconnector::Describe(Source source, std::int64_t totalLength)
{
    source_ = source;
    total_ = totalLength;
}

Reconnector::Ending Reconnector::CleanEnd(std::int64_t delivered) const
{
    switch (source_) {
    case Source::File:
        return delivered >= total_ ? Ending::Complete : Ending::Dropped;
    case Source::Stream:
        // Without a length the server's close is how such a stream ends.
        return Ending::Complete;
    case Source::Station:
        break;
    }
    return Ending::Dropped;
}

int Reconnector::NextPause(Ending ending)
{
    switch (ending) {
    case Ending::Complete:
    case Ending::Fatal:
        return -1;
    case Ending::Refused:
        if (++refusals_ >= kRefusalsToGiveUp) {
            return -1;
        }
        break;
    case Ending::Dropped:
        refusals_ = 0;
        break;
    }
    const long longest = static_cast<long>(firstPauseMs_) * kLongestPauseFactor;
    long pause = firstPauseMs_;
    for (int i = 0; i < attempts_ && pause < longest; ++i) {
        pause *= 2;
    }
    ++attempts_;
    return static_cast<int>(std::min(pause, longest));
}

void Reconnector::Recovered()
{
    attempts_ = 0;
    refusals_ = 0;
}

std::int64_t Reconnector::ResumeFrom(std::int64_t delivered) const
{
    return source_ == Source::File ? delivered : 0;
}

bool Reconnector::CheckResumeAnswer(long code, const std::string& contentRange, std::int64_t contentLength,
                                    std::int64_t from, std::int64_t* skip, std::string* error) const
{
    const std::string asked = "resumed at byte " + std::to_string(from) + " of " + std::to_string(total_);
    if (code == 200) {
        // A server without ranges sends the whole file again: the bytes
        // already played are dropped, if it is the same length.
        if (contentLength == total_) {
            *skip = from;
            return true;
        }
        *error = "The file changed on the server: " + asked + ", it now has " +
                 (contentLength < 0 ? std::string("no length") : std::to_string(contentLength) + " bytes");
        return false;
    }
    long long first = -1;
    long long last = -1;
    char total[32] = {};
    if (code == 206 && std::sscanf(contentRange.c_str(), "bytes %lld-%lld/%31s", &first, &last, total) == 3 &&
        first == from && (total[0] == '*' || std::strtoll(total, nullptr, 10) == total_)) {
        *skip = 0;
        return true;
    }
    *error = "The file changed on the server: " + asked + ", it answered " + std::to_string(code) +
             (contentRange.empty() ? std::string() : " with " + contentRange);
    return false;
}

}  // namespace mpxdec
