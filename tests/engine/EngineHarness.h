#pragma once
// A PlaybackEngine wired to fakes, with message boxes recorded instead of shown.

#include <memory>
#include <string>
#include <vector>

#include "engine/PlaybackEngine.h"
#include "engine/PlayerMessages.h"
#include "engine/TickCounter.h"
#include "platform/framework/MessageBox.h"
#include "tests/fakes/FakeMessageTarget.h"
#include "tests/fakes/FakeMmTimer.h"
#include "tests/fakes/FakeWaveOut.h"
#include "tests/fakes/ScriptedDecoder.h"

// MPEG-1 Layer 3, 128 kbit/s, stereo, 44 100 Hz: 4608 bytes a frame at full rate and 16 bits.
constexpr FrameInfo kLayer3Stereo{3, 1, 128, 2, 44100};
constexpr int kLayer3StereoBytes = 4608;

struct EngineHarness {
    FakeMessageTarget owner;
    ScriptedDecoder decoder;
    FakeWaveOut device;
    FakeTimer timer;
    FakeClock clock;
    std::vector<std::string> messages;
    int reports = 0;
    std::unique_ptr<PlaybackEngine> engine;

    EngineHarness() {
        TickCounter = 0;
        SetMessageBoxHandler([this](const std::string& text, MessageBoxIcon) {
            messages.push_back(text);
            return IDOK;
        });
        engine = std::make_unique<PlaybackEngine>(owner, decoder, device, timer, clock, [this] { ++reports; });
    }
    ~EngineHarness() {
        engine.reset();
        SetMessageBoxHandler({});
    }

    bool Open(int quality = 0, int resolution = 0, int downmix = 0) {
        return engine->OpenStream("track.mp3", quality, resolution, downmix, 0);
    }
    int Stopped() const { return owner.PostedCount(UM_PLAYBACK_STOPPED); }
};
