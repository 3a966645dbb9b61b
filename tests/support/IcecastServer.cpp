#include "tests/support/IcecastServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <thread>

#include "tests/support/LocalPort.h"

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Generous for a loaded machine; a server normally plays within 300 ms.
constexpr auto kStartLimit = 15s;

struct Track {
    const char* title;
    const char* tone;  // sox synth arguments: two sweeps, so no two frames are alike
};
constexpr const char* kArtist = "Tone Artist";
const Track kTracks[] = {
    {"Rising Tone", "sine 300-900 sine 500-1500"},
    {"Falling Tone", "sine 1200-400 sine 700-650"},
};
constexpr const char* kTrackSeconds = "2";

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Tail(const std::string& path, std::size_t lines)
{
    std::ifstream in(path);
    std::vector<std::string> all;
    for (std::string line; std::getline(in, line);) {
        all.push_back(line);
    }
    std::string out;
    for (std::size_t i = all.size() > lines ? all.size() - lines : 0; i < all.size(); ++i) {
        out += all[i] + "\n";
    }
    return out;
}

// What ezstream sends of an MP3 file: its frames, without the ID3v2 tag in
// front and the ID3v1 tag at the end.
std::vector<std::uint8_t> Frames(std::vector<std::uint8_t> file)
{
    if (file.size() >= 10 && std::equal(file.begin(), file.begin() + 3, "ID3")) {
        std::size_t size = 10 + ((file[6] & 0x7fu) << 21 | (file[7] & 0x7fu) << 14 | (file[8] & 0x7fu) << 7 |
                                 (file[9] & 0x7fu));
        if (file[5] & 0x10) {
            size += 10;  // a footer
        }
        file.erase(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(std::min(size, file.size())));
    }
    if (file.size() >= 128 && std::equal(file.end() - 128, file.end() - 125, "TAG")) {
        file.resize(file.size() - 128);
    }
    return file;
}

std::string RandomPassword()
{
    std::random_device random;
    std::ostringstream out;
    out << std::hex << random() << random();
    return out.str();
}

// The status code a GET of the path answers with, 0 when none comes.
int StatusOf(int port, const std::string& path)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    timeval limit{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    int code = 0;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string request = "GET " + path + " HTTP/1.0\r\nUser-Agent: harness\r\n\r\n";
        std::string head;
        char buffer[256];
        if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
            while (head.find("\r\n") == std::string::npos && head.size() < 1024) {
                ssize_t n = recv(fd, buffer, sizeof buffer, 0);
                if (n <= 0) {
                    break;
                }
                head.append(buffer, static_cast<std::size_t>(n));
            }
        }
        std::size_t space = head.find(' ');
        if (space != std::string::npos) {
            code = std::atoi(head.c_str() + space + 1);
        }
    }
    close(fd);
    return code;
}

}  // namespace

bool IcecastServer::Start(std::string* error)
{
    Kill();
    if (folder_.empty() && !Prepare(error)) {
        return false;
    }
    // The ports are chosen once; only the first start may move to others
    // should another process take them before icecast binds them.
    const bool fixedPorts = port_ != 0;
    for (int attempt = 0; attempt < (fixedPorts ? 1 : 3); ++attempt) {
        if (!fixedPorts) {
            port_ = FreePort();
            httpsPort_ = 0;
            while (!options_.tlsCertificate.empty() && (httpsPort_ == 0 || httpsPort_ == port_)) {
                httpsPort_ = FreePort();
            }
        }
        if (StartServer(error)) {
            // A loaded machine can refuse ezstream's first connection even
            // though the server already accepts; it gets three tries.
            for (int source = 0; source < 3; ++source) {
                if (StartSource(error)) {
                    return true;
                }
                if (!server_.Running()) {
                    return false;
                }
                std::this_thread::sleep_for(200ms);
            }
            Kill();
            return false;
        }
    }
    return false;
}

bool IcecastServer::Prepare(std::string* error)
{
    char pattern[] = "/tmp/brelune3-icecast-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        *error = "Cannot make a folder in /tmp";
        return false;
    }
    folder_ = pattern;
    for (const char* sub : {"log", "web", "admin"}) {
        std::filesystem::create_directory(Path(sub));
    }
    sourcePassword_ = RandomPassword();
    adminPassword_ = RandomPassword();
    if (!options_.tlsCertificate.empty()) {
        std::error_code copied;
        std::filesystem::copy_file(options_.tlsCertificate, Path("tls.pem"), copied);
        if (copied) {
            *error = "Cannot copy " + options_.tlsCertificate + ": " + copied.message();
            return false;
        }
    }
    if (!MakeTracks(error)) {
        return false;
    }
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr) {
            *error = "icecast2 does not run as root, and there is no user \"nobody\" to run it as";
            return false;
        }
        serverUser_ = RunAs{nobody->pw_uid, nobody->pw_gid};
        for (const char* path : {"", "log", "web", "admin", "tls.pem"}) {
            (void)!chown(Path(path).c_str(), nobody->pw_uid, nobody->pw_gid);
        }
    }
    return true;
}

bool IcecastServer::MakeTracks(std::string* error)
{
    const std::string log = Path("tools.log");
    fedLoop_.clear();
    titles_.clear();
    std::ofstream playlist(Path("playlist.m3u"));
    for (std::size_t i = 0; i < std::size(kTracks); ++i) {
        const std::string wav = Path("track" + std::to_string(i) + ".wav");
        const std::string mp3 = Path("track" + std::to_string(i) + ".mp3");
        // -R: the same dither every time, so the same bytes.
        std::vector<std::string> sox = {"sox", "-R", "-n", "-r", "44100", "-c", "2", "-b", "16", wav,
                                        "synth", kTrackSeconds};
        std::istringstream tone(kTracks[i].tone);
        std::copy(std::istream_iterator<std::string>(tone), {}, std::back_inserter(sox));
        sox.insert(sox.end(), {"gain", "-3"});
        if (!ChildProcess::Run(sox, log, error) ||
            !ChildProcess::Run({"lame", "--silent", "-b", "128", "--ta", kArtist, "--tt", kTracks[i].title, wav, mp3},
                               log, error)) {
            return false;
        }
        std::filesystem::remove(wav);
        std::vector<std::uint8_t> frames = Frames(ReadBytes(mp3));
        fedLoop_.insert(fedLoop_.end(), frames.begin(), frames.end());
        titles_.push_back(std::string(kArtist) + " - " + kTracks[i].title);
        playlist << mp3 << "\n";
    }
    return true;
}

void IcecastServer::WriteServerConfig() const
{
    std::ofstream xml(Path("icecast.xml"));
    xml << "<icecast>\n"
           "  <location>Brelune3 tests</location>\n"
           "  <admin>tests@localhost</admin>\n"
           "  <hostname>127.0.0.1</hostname>\n"
           "  <limits>\n"
           "    <clients>50</clients>\n"
           "    <sources>2</sources>\n"
           "    <queue-size>524288</queue-size>\n"
           "    <client-timeout>30</client-timeout>\n"
           "    <header-timeout>15</header-timeout>\n"
           "    <source-timeout>10</source-timeout>\n"
           "    <burst-on-connect>1</burst-on-connect>\n"
           "    <burst-size>65535</burst-size>\n"
           "  </limits>\n"
           "  <authentication>\n"
           "    <source-password>"
        << sourcePassword_
        << "</source-password>\n"
           "    <relay-password>"
        << adminPassword_
        << "</relay-password>\n"
           "    <admin-user>admin</admin-user>\n"
           "    <admin-password>"
        << adminPassword_
        << "</admin-password>\n"
           "  </authentication>\n"
           "  <listen-socket><port>"
        << port_ << "</port><bind-address>127.0.0.1</bind-address></listen-socket>\n";
    if (httpsPort_ != 0) {
        xml << "  <listen-socket><port>" << httpsPort_
            << "</port><bind-address>127.0.0.1</bind-address><ssl>1</ssl></listen-socket>\n";
    }
    xml << "  <fileserve>0</fileserve>\n"
           "  <paths>\n"
           "    <basedir>"
        << folder_ << "</basedir>\n    <logdir>" << Path("log") << "</logdir>\n    <webroot>" << Path("web")
        << "</webroot>\n    <adminroot>" << Path("admin") << "</adminroot>\n";
    if (httpsPort_ != 0) {
        xml << "    <ssl-certificate>" << Path("tls.pem") << "</ssl-certificate>\n";
    }
    xml << "  </paths>\n"
           "  <logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog>"
           "<loglevel>3</loglevel></logging>\n"
           "  <security><chroot>0</chroot></security>\n"
           "</icecast>\n";
}

void IcecastServer::WriteSourceConfig() const
{
    const std::string path = Path("ezstream.xml");
    std::ofstream xml(path);
    // It holds a password: ezstream warns when others may read it.
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    xml << "<ezstream>\n"
           "  <servers><server>\n"
           "    <hostname>127.0.0.1</hostname>\n"
           "    <port>"
        << port_
        << "</port>\n"
           "    <password>"
        << sourcePassword_
        << "</password>\n"
           "    <tls>None</tls>\n"
           "  </server></servers>\n"
           "  <streams><stream>\n"
           "    <mountpoint>"
        << kMount
        << "</mountpoint>\n"
           "    <format>MP3</format>\n"
           "    <stream_name>Brelune Test Radio</stream_name>\n"
           "    <stream_bitrate>128</stream_bitrate>\n"
           "  </stream></streams>\n"
           "  <intakes><intake>\n"
           "    <type>playlist</type>\n"
           "    <filename>"
        << Path("playlist.m3u")
        << "</filename>\n"
           "  </intake></intakes>\n"
           "</ezstream>\n";
}

bool IcecastServer::StartServer(std::string* error)
{
    WriteServerConfig();
    if (!server_.Start({"icecast2", "-c", Path("icecast.xml")}, Path("icecast.out"), serverUser_, error)) {
        return false;
    }
    const auto deadline = Clock::now() + kStartLimit;
    while (Clock::now() < deadline) {
        if (!server_.Running()) {
            *error = "icecast2 ended at its start on port " + std::to_string(port_) + ":\n" + Logs();
            return false;
        }
        if (Accepts(port_) && (httpsPort_ == 0 || Accepts(httpsPort_))) {
            return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    *error = "icecast2 did not listen on port " + std::to_string(port_) + ":\n" + Logs();
    server_.Kill();
    return false;
}

bool IcecastServer::StartSource(std::string* error)
{
    WriteSourceConfig();
    if (!source_.Start({"ezstream", "-c", Path("ezstream.xml")}, Path("ezstream.out"), std::nullopt, error)) {
        Kill();
        return false;
    }
    const auto deadline = Clock::now() + kStartLimit;
    while (Clock::now() < deadline) {
        if (!source_.Running()) {
            *error = "ezstream ended at its start:\n" + Logs();
            return false;
        }
        if (Live()) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    *error = "The mount " + std::string(kMount) + " did not go live:\n" + Logs();
    Kill();
    return false;
}

void IcecastServer::Kill()
{
    // The server first, so its listeners see it die rather than the source
    // leave.
    server_.Kill();
    source_.Kill();
}

bool IcecastServer::Restart(std::string* error)
{
    Kill();
    return Start(error);
}

void IcecastServer::Stop()
{
    Kill();
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        folder_.clear();
    }
}

bool IcecastServer::Live() const
{
    return port_ != 0 && StatusOf(port_, kMount) == 200;
}

std::string IcecastServer::Url() const
{
    return "http://127.0.0.1:" + std::to_string(port_) + kMount;
}

std::string IcecastServer::HttpsUrl() const
{
    return "https://127.0.0.1:" + std::to_string(httpsPort_) + kMount;
}

bool IcecastServer::IsRunOfFedLoop(const std::vector<std::uint8_t>& bytes, std::string* why) const
{
    if (bytes.empty()) {
        *why = "there are no bytes";
        return false;
    }
    const std::size_t loop = fedLoop_.size();
    // Where the first bytes occur in the loop, also across its end.
    std::vector<std::uint8_t> twice = fedLoop_;
    twice.insert(twice.end(), fedLoop_.begin(), fedLoop_.end());
    const std::size_t probe = std::min<std::size_t>(bytes.size(), 1024);
    std::size_t longest = 0;
    std::size_t longestStart = 0;
    for (auto at = twice.begin();; ++at) {
        at = std::search(at, twice.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(probe));
        if (at == twice.end() || static_cast<std::size_t>(at - twice.begin()) >= loop) {
            break;
        }
        const std::size_t start = static_cast<std::size_t>(at - twice.begin());
        std::size_t same = 0;
        while (same < bytes.size() && bytes[same] == fedLoop_[(start + same) % loop]) {
            ++same;
        }
        if (same == bytes.size()) {
            return true;
        }
        if (same > longest) {
            longest = same;
            longestStart = start;
        }
    }
    std::ostringstream out;
    if (longest == 0) {
        out << "the first " << probe << " bytes occur nowhere in the " << loop << " bytes the server was fed";
    } else {
        out << "the bytes follow the fed loop from its byte " << longestStart << " for " << longest << " of "
            << bytes.size() << " bytes, then differ";
    }
    *why = out.str();
    return false;
}

std::string IcecastServer::Logs() const
{
    return "--- icecast2 error log (end):\n" + Tail(Path("log/error.log"), 15) + "--- icecast2 output:\n" +
           Tail(Path("icecast.out"), 10) + "--- ezstream output:\n" + Tail(Path("ezstream.out"), 10);
}

}  // namespace testsupport
