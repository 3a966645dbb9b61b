#pragma once
// A Decoder that plays back a script of frames and statuses and records the
// calls it gets. Each status-0 frame fills its bytes with one value, the
// number of the GetFrame call that made it (mod 256), so a test can tell from
// the bytes a device played which frames reached it. When the script is used
// up, every further GetFrame reports afterScript (end of stream by default).

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/Decoder.h"

struct ScriptedFrame {
    DecoderStatus status = 0;
    std::int32_t bytes = 0;
    FrameInfo info{-1, -1, -1, -1, -1};
};

class ScriptedDecoder : public Decoder {
public:
    struct CommandCall {
        std::uint32_t code;
        std::intptr_t p1;
        std::intptr_t p2;
    };

    // Test controls.
    DecoderStatus openStatus = 0;
    DecoderStatus startStatus = 0;
    std::int32_t sourceKind = 1;
    bool hasInputLength = false;
    std::int32_t inputLength = 0;
    // The input position reported: inputOffset + inputPerFrame per status-0 frame given.
    std::int32_t inputOffset = 0;
    std::int32_t inputPerFrame = 0;
    bool hasErrorText = true;
    std::string errorText = "decoder error text";
    std::deque<ScriptedFrame> script;
    DecoderStatus afterScript = kStatusEndOfStream;
    std::function<void()> onOpen;      // runs inside Open, as a nested message loop would
    std::function<void()> onGetFrame;  // runs at every GetFrame

    // What the decoder saw.
    std::vector<std::string> openedLocations;
    int openQuality = -1, openResolution = -1, openDownmix = -1, openCpuType = -1;
    std::vector<CommandCall> commands;
    std::vector<std::pair<std::string, std::string>> requestHeaders;
    int closeCount = 0;
    int getFrameCount = 0;
    int framesGiven = 0;

    void Add(int count, DecoderStatus status, std::int32_t bytes, FrameInfo info) {
        for (int i = 0; i < count; ++i) script.push_back(ScriptedFrame{status, bytes, info});
    }
    static std::uint8_t PatternOf(int call) { return static_cast<std::uint8_t>(call); }
    int CommandCount(std::uint32_t code) const {
        int n = 0;
        for (const CommandCall& call : commands) n += call.code == code;
        return n;
    }

    DecoderStatus Init() override { return 0; }
    DecoderStatus Done() override { return 0; }
    DecoderStatus Open(const std::string& location, int quality, int resolution, int downmix,
                       int cpuType) override {
        openedLocations.push_back(location);
        openQuality = quality;
        openResolution = resolution;
        openDownmix = downmix;
        openCpuType = cpuType;
        if (onOpen) onOpen();
        return openStatus;
    }
    DecoderStatus GetFrame(void* pcm, std::int32_t* bytes, FrameInfo* info) override {
        ++getFrameCount;
        if (onGetFrame) onGetFrame();
        if (script.empty()) {
            *bytes = 0;
            return afterScript;
        }
        const ScriptedFrame frame = script.front();
        script.pop_front();
        *info = frame.info;
        *bytes = frame.status == 0 ? frame.bytes : 0;
        if (frame.status == 0) {
            ++framesGiven;
            std::memset(pcm, PatternOf(getFrameCount), static_cast<std::size_t>(*bytes));
        }
        return frame.status;
    }
    DecoderStatus Close() override {
        ++closeCount;
        return 0;
    }
    DecoderStatus Command(std::uint32_t code, std::intptr_t p1, std::intptr_t p2, void* out) override {
        commands.push_back(CommandCall{code, p1, p2});
        switch (code) {
            case DecoderCommand::ErrorText:
                if (!hasErrorText) return 0xC0000001;
                std::snprintf(static_cast<char*>(out), static_cast<std::size_t>(p2), "%s", errorText.c_str());
                return 0;
            case DecoderCommand::AddRequestHeader:
                requestHeaders.emplace_back(reinterpret_cast<const char*>(p1), reinterpret_cast<const char*>(p2));
                return 0;
            case DecoderCommand::StartSource: return startStatus;
            case DecoderCommand::SourceKind: *static_cast<std::int32_t*>(out) = sourceKind; return 0;
            case DecoderCommand::InputLength:
                if (!hasInputLength) return 0x81000001;
                *static_cast<std::int32_t*>(out) = inputLength;
                return 0;
            case DecoderCommand::InputPosition:
                *static_cast<std::int32_t*>(out) = inputOffset + framesGiven * inputPerFrame;
                return 0;
            default: return 0;
        }
    }
};
