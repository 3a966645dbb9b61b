#pragma once
// A wave-out device that hands every call to another one, for tests and
// benchmarks that watch the real device: derive, and override what to watch.

#include <memory>
#include <string>
#include <utility>

#include "platform/waveout/WaveOut.h"

class ForwardingWaveOut : public WaveOutDevice {
public:
    explicit ForwardingWaveOut(std::unique_ptr<WaveOutDevice> real) : real(std::move(real)) {}

    bool Open(const PcmFormat& format, std::string* errorText) override { return real->Open(format, errorText); }
    bool IsOpen() const override { return real->IsOpen(); }
    void Prepare(WaveHeader* header) override { real->Prepare(header); }
    void Unprepare(WaveHeader* header) override { real->Unprepare(header); }
    bool Write(WaveHeader* header) override { return real->Write(header); }
    void Pause() override { real->Pause(); }
    void Restart() override { real->Restart(); }
    void Reset() override { real->Reset(); }
    std::uint64_t PositionBytes() const override { return real->PositionBytes(); }
    void Close() override { real->Close(); }
    std::string SilentFallbackReason() const override { return real->SilentFallbackReason(); }

protected:
    std::unique_ptr<WaveOutDevice> real;
};
