#pragma once
// The process's one SDL audio subsystem, shared by every SdlWaveOut.
//
// SDL chooses its driver from SDL_AUDIODRIVER (a name or a list) or its own
// order. When that driver cannot start, or cannot open a device while none of
// ours is open on it, the subsystem is restarted once with SDL's "dummy"
// driver, which plays in real time into nothing: a machine without a sound
// server or card still runs the player, silently. The process then stays on
// the dummy driver. Like the disk driver, it opens one device at a time.
//
// Threads: any thread; calls are serialised by an internal lock.

#include <SDL.h>

#include <mutex>
#include <string>

class SdlAudioSystem {
public:
    static SdlAudioSystem& Instance();

    // Opens the default output device with exactly the wanted spec (SDL may
    // change nothing). Returns 0 on failure and sets errorText to SDL's reason
    // from the first driver tried.
    SDL_AudioDeviceID OpenDevice(const SDL_AudioSpec& wanted, std::string* errorText);
    void CloseDevice(SDL_AudioDeviceID device);

private:
    enum class State { NotStarted, Running, Failed };

    bool SwitchToDummy();

    std::mutex mutex;  // guards every field below
    State state = State::NotStarted;
    bool onDummy = false;
    int openDevices = 0;
};
