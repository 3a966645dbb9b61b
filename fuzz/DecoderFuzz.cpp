// The decoder library on hostile input. The first byte picks the output
// settings and the way in: a local file through the six exports, or the
// same bytes arriving as a network stream in pieces of changing size, which
// takes the start's tag skip, the feed probe and format-change restarts.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "mpxdec/ErrorReport.h"
#include "mpxdec/HttpSource.h"
#include "mpxdec/Session.h"
#include "mpxdec/Status.h"
#include "mpxdec/mpxdec.h"

namespace {

constexpr std::uint32_t kStartSource = 0x01010105;
constexpr std::uint32_t kErrorText = 0x00000001;
constexpr std::size_t kLargestFrame = 4608;
constexpr int kMostCalls = 3000;

// The network side replaced by the input itself, read in pieces.
class MemorySource : public mpxdec::HttpSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size, std::size_t piece)
        : data_(data), size_(size), piece_(piece)
    {
        state_.bodyStarted = true;
        state_.lastData = Clock::now();
    }
    bool Start(const mpxdec::HttpRequest&, std::string*) override { return true; }
    void Stop() override {}
    std::size_t Read(std::uint8_t* dst, std::size_t max) override
    {
        std::size_t n = std::min({max, piece_, size_ - at_});
        std::copy(data_ + at_, data_ + at_ + n, dst);
        at_ += n;
        piece_ = piece_ * 3 % 5000 + 1;
        return n;
    }
    void WaitForData(std::chrono::milliseconds) override {}
    State Snapshot() const override
    {
        State state = state_;
        state.finished = at_ == size_;
        return state;
    }
    std::string Title() const override { return {}; }
    std::uint32_t TitleChanges() const override { return 0; }
    void ReconnectWhenDropped() override {}
    bool SaveTo(const std::string&, std::string*) override { return false; }
    void SetSaveOnly() override {}
    void DropHistory() override {}
    bool SaveComplete() const override { return false; }
    std::string SaveError() const override { return {}; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t piece_;
    std::size_t at_ = 0;
    State state_;
};

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

void DecodeFile(const std::uint8_t* data, std::size_t size, int quality, int resolution, int downmix)
{
    // One file per process, removed when the run ends.
    static const struct TempFile {
        std::string path = "/tmp/brelune-fuzz-" + std::to_string(getpid()) + ".mp3";
        ~TempFile() { unlink(path.c_str()); }
    } temp;
    const std::string& path = temp.path;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    char text[64];
    std::uint32_t status = mpegOpen(path.c_str(), quality, resolution, downmix, 0);
    mpegCommand(0, kErrorText, status, sizeof text, text);
    if (status >> 30 != 3 && mpegCommand(0, kStartSource, 0, 0, nullptr) == 0) {
        for (std::uint32_t code : {0x00100015u, 0x00100016u, 0x00100017u, 0x00100018u, 0x00100019u}) {
            mpegCommand(0, code, 0, sizeof text, text);
        }
        std::int32_t value = 0;
        mpegCommand(0, 0x01010102, 0, 0, &value);
        if (size > 1 && (data[1] & 1) != 0) {
            mpegCommand(0, 0x01010202, data[1] >> 4, (data[1] >> 1) % 3, nullptr);
        }
        std::uint8_t pcm[kLargestFrame + 16];
        for (int call = 0; call < kMostCalls; ++call) {
            std::int32_t bytes = -1;
            FrameInfo info{};
            status = mpegGetFrame(pcm, &bytes, &info);
            Check(bytes >= 0 && static_cast<std::size_t>(bytes) <= kLargestFrame);
            if (status == mpxdec::kEndOfStream || status >> 30 == 3) {
                break;
            }
        }
        mpegCommand(0, 0x01010204, 0, 0, &value);
    }
    mpegClose();
}

void DecodeStream(const std::uint8_t* data, std::size_t size, int quality, int resolution, int downmix)
{
    mpxdec::ErrorReport errors;
    mpxdec::Session session(errors);
    if (session.Open("http://fuzz.invalid/stream", {quality, resolution, downmix}) != 0) {
        return;
    }
    const bool abort = false;
    mpxdec::HttpRequest request;
    request.timeoutMs = 60000;
    std::size_t piece = size > 1 ? data[1] * 37u + 1 : 1;
    std::uint32_t status = session.Start(request, std::make_unique<MemorySource>(data, size, piece), {}, abort);
    if (status >> 30 == 3) {
        return;
    }
    std::uint8_t pcm[kLargestFrame + 16];
    for (int call = 0; call < kMostCalls; ++call) {
        std::int32_t bytes = -1;
        FrameInfo info{};
        status = session.GetFrame(pcm, &bytes, &info);
        Check(bytes >= 0 && static_cast<std::size_t>(bytes) <= kLargestFrame);
        if (status == mpxdec::kEndOfStream || status >> 30 == 3) {
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool initialised = mpegInit() == 0;
    if (!initialised || size < 1) {
        return 0;
    }
    const int quality = data[0] % 3;
    const int resolution = (data[0] >> 2) & 1;
    const int downmix = (data[0] >> 3) & 1;
    if ((data[0] & 0x80) != 0) {
        DecodeStream(data + 1, size - 1, quality, resolution, downmix);
    } else {
        DecodeFile(data + 1, size - 1, quality, resolution, downmix);
    }
    return 0;
}
