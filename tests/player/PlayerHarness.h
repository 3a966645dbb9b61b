#pragma once
// A main window (a PlayerWnd, or a layer over it) over a scripted decoder, a
// fake device, timer and clock, shown offscreen. Each opened location gets the frames the test scripted for it;
// message boxes and the "TrackName" item are recorded.

#include <QCoreApplication>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "player/PlayerWnd.h"
#include "engine/TickCounter.h"
#include "platform/framework/MessageBox.h"
#include "tests/fakes/FakeMmTimer.h"
#include "tests/fakes/FakeWaveOut.h"
#include "tests/fakes/MemorySettingsStore.h"
#include "tests/fakes/ScriptedDecoder.h"

// MPEG-1 Layer 3, 128 kbit/s, stereo, 44 100 Hz: 4608 bytes a frame.
constexpr FrameInfo kStereoFrame{3, 1, 128, 2, 44100};
constexpr std::int32_t kStereoFrameBytes = 4608;
constexpr DecoderStatus kOpenError = 0xC1010001;
constexpr DecoderStatus kFrameError = 0xC1010002;

// The scripted decoder, plus what the library answers at start and end.
class PlayerDecoder : public ScriptedDecoder {
public:
    DecoderStatus initStatus = 0;
    DecoderStatus doneStatus = 0;
    std::uint32_t version = kDecoderVersion;
    // Frames per location; a location without a script opens with kOpenError.
    std::map<std::string, std::vector<ScriptedFrame>> tracks;

    PlayerDecoder() {
        onOpen = [this] {
            const auto found = tracks.find(openedLocations.back());
            openStatus = found == tracks.end() ? kOpenError : 0;
            script.clear();
            if (found != tracks.end()) script.assign(found->second.begin(), found->second.end());
            if (whileOpening) whileOpening();
        };
    }
    // Runs inside Open, as messages dispatched while connecting would.
    std::function<void()> whileOpening;

    void AddTrack(const std::string& location, int frames) {
        tracks[location] = std::vector<ScriptedFrame>(std::size_t(frames), {0, kStereoFrameBytes, kStereoFrame});
    }

    DecoderStatus Init() override { return initStatus; }
    DecoderStatus Done() override { return doneStatus; }
    // The text arguments of the proxy and save commands, taken when sent, and
    // what the save command answers.
    std::vector<std::pair<std::uint32_t, std::string>> texts;
    DecoderStatus saveStatus = 0;

    DecoderStatus Command(std::uint32_t code, std::intptr_t p1, std::intptr_t p2, void* out) override {
        if (code == DecoderCommand::VersionCheck) {
            *static_cast<std::uint32_t*>(out) = version;
            return p1 == std::intptr_t(version) ? 0 : 0xC1010006;
        }
        if (code == DecoderCommand::Proxy || code == DecoderCommand::NoProxy || code == DecoderCommand::SaveToFile)
            texts.emplace_back(code, reinterpret_cast<const char*>(p1));
        const DecoderStatus status = ScriptedDecoder::Command(code, p1, p2, out);
        return code == DecoderCommand::SaveToFile ? saveStatus : status;
    }
    std::vector<CommandCall> CommandsWith(std::uint32_t code) const {
        std::vector<CommandCall> found;
        for (const CommandCall& call : commands)
            if (call.code == code) found.push_back(call);
        return found;
    }
};

class RecordingPlayerWnd : public PlayerWnd {
public:
    using PlayerWnd::PlayerWnd;
    ~RecordingPlayerWnd() override {
        if (deleted) *deleted = true;
    }
    std::vector<std::string> trackNames;
    bool* deleted = nullptr;
    void PublishItem(const std::string& item, const std::string& value) override {
        if (item == "TrackName") trackNames.push_back(value);
        PlayerWnd::PublishItem(item, value);
    }
};

template <class Window>
struct WindowHarness {
    static constexpr UINT kStyle = 0x00CA0000;  // caption, system menu, minimise box

    MemorySettingsStore store;
    PlayerDecoder* decoder = nullptr;
    FakeWaveOut* device = nullptr;
    FakeTimer* timer = nullptr;
    Window* wnd = nullptr;
    bool windowDeleted = false;  // set by a recording window's destructor
    std::vector<std::string> messages;

    WindowHarness() {
        TickCounter = 0;
        SetMessageBoxHandler([this](const std::string& text, MessageBoxIcon) {
            messages.push_back(text);
            return IDOK;
        });
    }
    ~WindowHarness() {
        if (wnd && !windowDeleted) wnd->DestroyWindow();
        QCoreApplication::processEvents();
        SetMessageBoxHandler({});
    }

    // Builds the window; the decoder can be set up through `prepare` first,
    // and the window through `configure` before its creation runs.
    bool Create(const std::function<void(PlayerDecoder&)>& prepare = {},
                const std::function<void(Window&)>& configure = {}) {
        auto ownDecoder = std::make_unique<PlayerDecoder>();
        auto ownDevice = std::make_unique<FakeWaveOut>();
        auto ownTimer = std::make_unique<FakeTimer>();
        decoder = ownDecoder.get();
        device = ownDevice.get();
        timer = ownTimer.get();
        if (prepare) prepare(*decoder);
        PlayerDevices devices{std::move(ownDecoder), std::move(ownDevice), std::move(ownTimer),
                              std::make_unique<FakeClock>()};
        wnd = new Window(store, std::move(devices));
        if constexpr (std::is_base_of_v<RecordingPlayerWnd, Window>) wnd->deleted = &windowDeleted;
        if (configure) configure(*wnd);
        if (!wnd->Create("Brelune3 Layer III Player", "Brelune3", kStyle, 201)) {
            wnd = nullptr;  // a failed creation deletes the window
            return false;
        }
        return true;
    }

    // A list of n tracks "t1.mp3" … each `frames` frames long, track 1 current.
    void SetList(int n, int frames = 10) {
        wnd->playlist.clear();
        for (int i = 1; i <= n; ++i) {
            const std::string name = "t" + std::to_string(i) + ".mp3";
            decoder->AddTrack(name, frames);
            wnd->playlist.push_back(name);
        }
        wnd->trackCount = n;
        wnd->currentTrack = 1;
    }

    // Delivers posted messages (stops, UM_PLAY_CURRENT) as the loop would.
    static void Pump() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }

    // Decodes and plays until the engine stops by itself, then pumps.
    void PlayToEnd() {
        for (int i = 0; i < 1000 && wnd->engine->IsActive(); ++i) {
            TickCounter = 1;
            wnd->SendMessage(UM_DECODE_TICK, 0, 0);
            device->PlayHeaders(PlaybackEngine::kBufferCount);
        }
        Pump();
    }

    void Command(UINT id, UINT code = BN_CLICKED) { wnd->SendMessage(WM_COMMAND, MakeCommandWParam(id, code), 0); }
};

using PlayerHarness = WindowHarness<RecordingPlayerWnd>;
