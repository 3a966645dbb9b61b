#pragma once
// What the reader does when the connection of a stream that has started
// playing ends: connect again or give up, how long to pause first, and where
// a file of known length resumes. It knows nothing of libcurl; HttpReader
// tells it how each connection ended and carries out its answers.
//
// - A connection that drops, stalls or cannot be made (refused, host not
//   found, timed out, reset, the server answers 5xx) is made again without
//   limit, until the stream is closed: a station's server that restarts, or
//   a network that comes back, plays on by itself.
// - An answer that says no (an HTTP error other than 5xx, a page instead of
//   audio) ends the stream after kRefusalsToGiveUp of them in a row: a
//   station's server that has just restarted answers 404 for its mount until
//   its source is back.
// - A file whose answer to a resumed request shows that it changed ends the
//   stream at once, as does any other failure (TLS, too many redirects).
// - The pauses before the attempts double from the first (1 s unless the
//   caller says otherwise) up to 30 times the first, and start again from
//   the first once a new connection has delivered audio.
//
// Used only on the reader's thread.

#include <cstdint>
#include <string>

namespace mpxdec {

class Reconnector {
public:
    enum class Ending {
        Complete,  // the stream is over
        Dropped,   // lost, stalled, or could not be made: try again
        Refused,   // the server answered no
        Fatal,     // nothing to try again for
    };
    enum class Source {
        File,     // known length, no stream titles: resumed by range
        Stream,   // no length: the new connection's bytes follow on
        Station,  // never ends by itself: a clean end is a drop too
    };

    static constexpr int kRefusalsToGiveUp = 3;
    static constexpr int kDefaultFirstPauseMs = 1000;
    static constexpr int kLongestPauseFactor = 30;

    // firstPauseMs 0 or less: the default.
    Reconnector(int firstPauseMs = kDefaultFirstPauseMs);

    void Describe(Source source, std::int64_t totalLength);
    Source Kind() const { return source_; }
    // How a connection that ended without an error ended, after delivered
    // bytes of the stream in all.
    Ending CleanEnd(std::int64_t delivered) const;
    // The pause before the next attempt after ending, or -1 to give up.
    int NextPause(Ending ending);
    // A connection delivered audio again.
    void Recovered();
    // The byte a new connection asks to start from: delivered for a file,
    // 0 (from wherever the stream is now) otherwise.
    std::int64_t ResumeFrom(std::int64_t delivered) const;
    // Checks the answer (code, Content-Range, Content-Length) to a request
    // resumed at from. True with the bytes of its body to drop: 0 for
    // "206 Partial Content" at from, from for a "200 OK" that sends the same
    // file whole. False with the reason when the file is not the same.
    bool CheckResumeAnswer(long code, const std::string& contentRange, std::int64_t contentLength,
                           std::int64_t from, std::int64_t* skip, std::string* error) const;

private:
    int firstPauseMs_;
    Source source_ = Source::Stream;
    std::int64_t total_ = -1;
    int attempts_ = 0;
    int refusals_ = 0;
};

}  // namespace mpxdec
