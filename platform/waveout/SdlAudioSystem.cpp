#include "platform/waveout/SdlAudioSystem.h"

#include "platform/waveout/SdlLibrary.h"

#include <cstring>

#if defined(__linux__)
#include <dlfcn.h>
#endif

namespace {
constexpr const char* kDummyDriver = "dummy";
constexpr const char* kDiskDriver = "disk";

bool IsDriver(const char* driver, const char* name) { return driver && std::strcmp(driver, name) == 0; }

// ALSA reports every failed look for a card on standard error, several
// lines at a time, before SDL can fall back; SDL gives us its reason anyway.
// SDL loads the same shared library, so its handler is the one set here.
void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa() {
#if defined(__linux__)
    using SetHandler = int (*)(void (*)(const char*, int, const char*, int, const char*, ...));
    // Left loaded for the life of the process, as SDL keeps it.
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa) return;
    if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) set(&SilentAlsaError);
#endif
}

bool SameSpec(const SDL_AudioSpec& a, const SDL_AudioSpec& b) {
    return a.freq == b.freq && a.format == b.format && a.channels == b.channels && a.samples == b.samples &&
           a.callback == b.callback && a.userdata == b.userdata;
}
}  // namespace

SdlAudioSystem& SdlAudioSystem::Instance() {
    static SdlAudioSystem system;
    return system;
}

SdlAudioSystem::~SdlAudioSystem() {
    SDL_Thread* thread = nullptr;
    {
        std::lock_guard lock(mutex);
        quitting = true;
        thread = closer;
        closer = nullptr;
    }
    changed.notify_all();
    // The helper closes a parked device before it ends.
    if (thread) Sdl()->WaitThread(thread, nullptr);
}

SDL_AudioDeviceID SdlAudioSystem::OpenDevice(const SDL_AudioSpec& wanted, std::string* errorText) {
    std::unique_lock lock(mutex);
    if (parked != 0 && SameSpec(specs[parked], wanted)) {
        const SDL_AudioDeviceID device = parked;
        parked = 0;
        changed.notify_all();
        return device;
    }
    FinishClosing(lock);
    const SdlCalls* sdl = Sdl(errorText);
    if (sdl == nullptr) return 0;
    std::string firstError;
    if (state == State::NotStarted) {
        // SDL would otherwise take SIGINT and SIGTERM for its own event queue,
        // which this program never reads, and the player could not be ended.
        sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        QuietAlsa();
        if (sdl->InitSubSystem(SDL_INIT_AUDIO) == 0) {
            state = State::Running;
            onDummy = IsDriver(sdl->GetCurrentAudioDriver(), kDummyDriver);
        } else {
            state = State::Failed;
            firstError = sdl->GetError();
        }
    }
    if (state == State::Running) {
        if (const SDL_AudioDeviceID device = OpenOnDriver(wanted)) return device;
        firstError = sdl->GetError();
    }
    // Restarting the subsystem would close devices that are playing, so only
    // a first device gets the fallback.
    if (!onDummy && openDevices == 0 && SwitchToDummy()) {
        fallbackReason = firstError.empty() ? std::string("no sound driver could be started") : firstError;
        if (const SDL_AudioDeviceID device = OpenOnDriver(wanted)) return device;
    }
    if (errorText) *errorText = firstError.empty() ? std::string("The audio subsystem is not available") : firstError;
    return 0;
}

std::string SdlAudioSystem::FallbackReason() {
    std::lock_guard lock(mutex);
    return fallbackReason;
}

SDL_AudioDeviceID SdlAudioSystem::OpenOnDriver(const SDL_AudioSpec& wanted) {
    SDL_AudioSpec audioSpec = wanted;
    // No allowed changes: SDL converts whatever the hardware needs itself,
    // so the bytes we hand over are the ones the device was asked to play.
    const SDL_AudioDeviceID device = Sdl()->OpenAudioDevice(nullptr, 0, &audioSpec, nullptr, 0);
    if (device != 0) {
        ++openDevices;
        specs[device] = wanted;
    }
    return device;
}

void SdlAudioSystem::CloseDevice(SDL_AudioDeviceID device) {
    if (device == 0) return;
    std::unique_lock lock(mutex);
    const bool parkable = !quitting && !IsDriver(Sdl()->GetCurrentAudioDriver(), kDiskDriver);
    if (parkable && closer == nullptr) closer = Sdl()->CreateThread(&SdlAudioSystem::CloserMain, "SDLAudioClose", this);
    if (!parkable || closer == nullptr) {
        Sdl()->CloseAudioDevice(device);
        Forget(device);
        return;
    }
    // One device waits at a time; an older one is closed now.
    FinishClosing(lock);
    parked = device;
    parkedUntil = Clock::now() + std::chrono::milliseconds(kParkedMs);
    changed.notify_all();
}

void SdlAudioSystem::FinishClosing(std::unique_lock<std::mutex>& lock) {
    if (parked != 0) {
        const SDL_AudioDeviceID device = parked;
        parked = 0;
        changed.notify_all();
        Sdl()->CloseAudioDevice(device);
        Forget(device);
    }
    changed.wait(lock, [this] { return closing == 0; });
}

void SdlAudioSystem::Forget(SDL_AudioDeviceID device) {
    specs.erase(device);
    --openDevices;
}

int SdlAudioSystem::CloserMain(void* self) {
    static_cast<SdlAudioSystem*>(self)->RunCloser();
    return 0;
}

void SdlAudioSystem::RunCloser() {
    std::unique_lock lock(mutex);
    while (true) {
        if (parked != 0 && (quitting || Clock::now() >= parkedUntil)) {
            const SDL_AudioDeviceID device = parked;
            closing = device;
            parked = 0;
            lock.unlock();
            // Without the lock, so that no caller waits on it for the whole
            // close; an OpenDevice meanwhile waits for closing to clear.
            Sdl()->CloseAudioDevice(device);
            lock.lock();
            Forget(device);
            closing = 0;
            changed.notify_all();
        } else if (quitting) {
            return;
        } else if (parked != 0) {
            changed.wait_until(lock, parkedUntil);
        } else {
            changed.wait(lock);
        }
    }
}

bool SdlAudioSystem::SwitchToDummy() {
    onDummy = true;
    if (state == State::Running) Sdl()->AudioQuit();
    // SDL_AudioInit names the driver directly; SDL_InitSubSystem would read
    // SDL_AUDIODRIVER again and pick the same failing driver.
    state = Sdl()->AudioInit(kDummyDriver) == 0 ? State::Running : State::Failed;
    return state == State::Running;
}
