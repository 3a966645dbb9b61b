#pragma once
// A wave-out device driven by the test: nothing plays until the test asks it
// to play headers or bytes, and a held device plays nothing. It records the
// format it was opened with, every call, and the bytes it played.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/waveout/WaveOut.h"

class FakeWaveOut : public WaveOutDevice {
public:
    // Test controls.
    bool failOpen = false;
    std::string openErrorText;
    std::string silentReason;  // as if it had fallen back to playing into nothing

    // What the device saw.
    PcmFormat openFormat;
    int openCount = 0;
    std::vector<std::string> calls;     // "open", "pause", "restart", "reset", "close"
    std::vector<std::uint32_t> writes;  // bufferLength of every Write, in order
    std::vector<std::uint8_t> played;   // the PCM played since the first open

    std::string SilentFallbackReason() const override { return silentReason; }

    bool Open(const PcmFormat& format, std::string* errorText) override {
        if (failOpen) {
            *errorText = openErrorText;
            return false;
        }
        calls.push_back("open");
        openFormat = format;
        ++openCount;
        open = true;
        paused = false;
        position = 0;
        offsetInFront = 0;
        return true;
    }
    bool IsOpen() const override { return open; }
    void Prepare(WaveHeader* header) override { header->flags |= WHDR_PREPARED; }
    void Unprepare(WaveHeader* header) override { header->flags &= ~WHDR_PREPARED; }
    bool Write(WaveHeader* header) override {
        writes.push_back(header->bufferLength);
        queue.push_back(header);
        return true;
    }
    void Pause() override {
        calls.push_back("pause");
        paused = true;
    }
    void Restart() override {
        calls.push_back("restart");
        paused = false;
    }
    void Reset() override {
        calls.push_back("reset");
        for (WaveHeader* header : queue) header->flags |= WHDR_DONE;
        queue.clear();
        offsetInFront = 0;
    }
    std::uint64_t PositionBytes() const override { return position; }
    void Close() override {
        if (!open) return;
        Reset();
        calls.push_back("close");
        open = false;
    }

    bool IsPaused() const { return paused; }
    std::size_t QueuedHeaders() const { return queue.size(); }

    // Plays up to n whole headers (the rest of a partly played one counts as
    // one); returns how many finished. Nothing plays while held.
    int PlayHeaders(int n) {
        int finished = 0;
        while (finished < n && !paused && !queue.empty()) {
            PlayBytes(queue.front()->bufferLength - offsetInFront);
            ++finished;
        }
        return finished;
    }
    // Plays up to n bytes across queued headers, finishing each header whose
    // last byte is played.
    void PlayBytes(std::uint64_t n) {
        while (!paused && !queue.empty()) {
            WaveHeader* header = queue.front();
            if (n == 0 && offsetInFront < header->bufferLength) break;
            const std::uint64_t take = std::min<std::uint64_t>(n, header->bufferLength - offsetInFront);
            played.insert(played.end(), header->data + offsetInFront, header->data + offsetInFront + take);
            offsetInFront += static_cast<std::uint32_t>(take);
            position += take;
            n -= take;
            if (offsetInFront == header->bufferLength) {
                header->flags |= WHDR_DONE;
                queue.pop_front();
                offsetInFront = 0;
            }
        }
    }

private:
    bool open = false;
    bool paused = false;
    std::uint64_t position = 0;
    std::uint32_t offsetInFront = 0;
    std::deque<WaveHeader*> queue;
};
