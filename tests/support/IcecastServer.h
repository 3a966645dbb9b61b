#pragma once
// A real radio station for the tests: Debian's icecast2 on a free port of
// 127.0.0.1, fed by ezstream with two generated MP3 tracks (a sox tone
// encoded by lame at 128 kbit/s, 44.1 kHz stereo, 2 s each, the title in
// each track's ID3 tag) played in a loop on one mount point, so the
// station's StreamTitle changes with every track. Listeners who ask for
// titles get them every 16 000 bytes, icecast's default.
//
// Each server lives in a temporary folder of its own (configuration, logs,
// web root, tracks) with passwords of its own, and runs in the foreground.
// icecast2 refuses to run as root; started by root it runs as "nobody",
// which then owns the folder.
//
// Comparing what a listener received with what the server sent: ezstream
// sends each track's MPEG frames without its ID3 tags (the titles travel as
// ICY metadata instead), icecast relays those bytes unchanged, and a
// listener joins somewhere in the loop (a new listener's first burst starts
// a few seconds in the past). So the audio any listener receives, ICY
// metadata blocks taken out, is one contiguous run of FedLoop() repeated
// without end, starting at any byte of it; that is what IsRunOfFedLoop
// checks. The tones sweep, so no 256 bytes occur twice in the loop and a
// run's start is unambiguous. A Restart starts the source again at the
// first track: a save across one is two such runs, the second from byte 0.
//
// Threads: call it from one test thread. The server's processes are killed
// when the object goes (also when a test fails) and, should the test
// process die first, when the thread that started them ends.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace testsupport {

class IcecastServer {
public:
    struct Options {
        // A PEM file with the server's certificate (and chain) and key:
        // the station is then also served over TLS, on HttpsPort().
        std::string tlsCertificate;
    };

    IcecastServer() = default;
    explicit IcecastServer(Options options) : options_(std::move(options)) {}
    ~IcecastServer() { Stop(); }
    IcecastServer(const IcecastServer&) = delete;
    IcecastServer& operator=(const IcecastServer&) = delete;

    // Starts icecast and its source and waits until the mount plays (a few
    // hundred milliseconds). False with the reason, and the logs, otherwise.
    bool Start(std::string* error);
    // Kills the server hard (SIGKILL: listeners lose the connection without
    // a goodbye) and its source. Its ports stay its own for the next Start.
    void Kill();
    // Kill, then Start on the same ports.
    bool Restart(std::string* error);
    // Kill, and remove the folder.
    void Stop();
    // Whether the mount answers a listener with 200 now.
    bool Live() const;

    int Port() const { return port_; }
    int HttpsPort() const { return httpsPort_; }
    std::string Url() const;
    std::string HttpsUrl() const;
    // The StreamTitle each track shows, in playlist order.
    const std::vector<std::string>& Titles() const { return titles_; }
    // One round of the bytes the source sends, all tracks in order.
    const std::vector<std::uint8_t>& FedLoop() const { return fedLoop_; }
    // Whether bytes is a contiguous run of FedLoop() repeated; why not if not.
    bool IsRunOfFedLoop(const std::vector<std::uint8_t>& bytes, std::string* why) const;
    // The end of icecast's error log and the source's output, for messages.
    std::string Logs() const;

    static constexpr const char* kMount = "/radio.mp3";

private:
    bool Prepare(std::string* error);
    bool MakeTracks(std::string* error);
    void WriteServerConfig() const;
    void WriteSourceConfig() const;
    bool StartServer(std::string* error);
    bool StartSource(std::string* error);
    std::string Path(const std::string& name) const { return folder_ + "/" + name; }

    Options options_;
    std::optional<RunAs> serverUser_;
    std::string folder_;
    std::string sourcePassword_;
    std::string adminPassword_;
    int port_ = 0;
    int httpsPort_ = 0;
    std::vector<std::string> titles_;
    std::vector<std::uint8_t> fedLoop_;
    ChildProcess server_;
    ChildProcess source_;
};

}  // namespace testsupport
