#pragma once
// The process's one SDL audio subsystem, shared by every SdlWaveOut.
//
// SDL chooses its driver from SDL_AUDIODRIVER (a name or a list) or its own
// order. When that driver cannot start, or cannot open a device while none of
// ours is open on it, the subsystem is restarted once with SDL's "dummy"
// driver, which plays in real time into nothing: a machine without a sound
// server or card still runs the player, silently. The process then stays on
// the dummy driver, and FallbackReason tells why (a dummy driver chosen in
// SDL_AUDIODRIVER is no fallback). Like the disk driver, it opens one device
// at a time. The sound library's own complaints on standard error (ALSA's
// "cannot find card" lines) are kept quiet: the reason says it once.
//
// Closing: SDL_CloseAudioDevice joins the device's thread, which first ends
// the period it is sleeping through and then sleeps two more periods "to
// drain" (100 to 300 ms with our periods), far too long for the thread that
// runs the decode ticks. So CloseDevice only parks the device, paused, and
// returns at once; a helper thread closes it after kParkedMs unless an
// OpenDevice with the same audio format and callback takes it back first (the next
// track of the same format then starts without any wait). An OpenDevice for
// another format closes a parked device itself, and waits for a close the
// helper has begun: SDL cannot open while it closes, and the dummy and disk
// drivers hold only one device. The disk driver is closed at once, because
// its file is only complete once the device is closed.
//
// SDL itself is opened by the first OpenDevice (SdlLibrary.h); when it cannot
// be, no device opens and the error text says why. Every other call has an
// open device behind it, so SDL is there.
//
// Threads: any thread; calls are serialised by an internal lock.

#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

class SdlAudioSystem {
public:
    // How long a closed device waits, paused, for an open that can reuse it.
    static constexpr int kParkedMs = 1000;

    static SdlAudioSystem& Instance();
    ~SdlAudioSystem();

    // Opens the default output device with exactly the wanted audio format (SDL may
    // change nothing). Returns 0 on failure and sets errorText to SDL's reason
    // from the first driver tried. A reused device comes back paused.
    SDL_AudioDeviceID OpenDevice(const SDL_AudioSpec& wanted, std::string* errorText);
    // The caller has paused the device, so its callback never runs again
    // unless the device is reused by an OpenDevice.
    void CloseDevice(SDL_AudioDeviceID device);
    // Empty unless the subsystem fell back to the dummy driver; then the
    // first driver's reason for failing.
    std::string FallbackReason();

private:
    enum class State { NotStarted, Running, Failed };
    using Clock = std::chrono::steady_clock;

    bool SwitchToDummy();
    SDL_AudioDeviceID OpenOnDriver(const SDL_AudioSpec& wanted);
    // Closes a parked device on the calling thread, and waits for the
    // helper's close, so that SDL can open again. Needs mutex held.
    void FinishClosing(std::unique_lock<std::mutex>& lock);
    void Forget(SDL_AudioDeviceID device);
    static int CloserMain(void* self);
    void RunCloser();

    std::mutex mutex;  // guards every field below
    State state = State::NotStarted;
    bool onDummy = false;
    std::string fallbackReason;
    int openDevices = 0;  // parked and closing ones included
    std::map<SDL_AudioDeviceID, SDL_AudioSpec> specs;  // as opened, for reuse

    std::condition_variable changed;  // parked, closing or quitting changed
    SDL_AudioDeviceID parked = 0;
    Clock::time_point parkedUntil{};
    SDL_AudioDeviceID closing = 0;  // being closed by the helper
    SDL_Thread* closer = nullptr;
    bool quitting = false;
};
