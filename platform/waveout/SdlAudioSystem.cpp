#include "platform/waveout/SdlAudioSystem.h"

#include <cstring>

namespace {
constexpr const char* kDummyDriver = "dummy";

bool IsDummy(const char* driver) { return driver && std::strcmp(driver, kDummyDriver) == 0; }
}  // namespace

SdlAudioSystem& SdlAudioSystem::Instance() {
    static SdlAudioSystem system;
    return system;
}

SDL_AudioDeviceID SdlAudioSystem::OpenDevice(const SDL_AudioSpec& wanted, std::string* errorText) {
    std::lock_guard lock(mutex);
    std::string firstError;
    if (state == State::NotStarted) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            state = State::Running;
            onDummy = IsDummy(SDL_GetCurrentAudioDriver());
        } else {
            state = State::Failed;
            firstError = SDL_GetError();
        }
    }
    if (state == State::Running) {
        SDL_AudioSpec spec = wanted;
        // No allowed changes: SDL converts whatever the hardware needs itself,
        // so the bytes we hand over are the ones the device was asked to play.
        const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
        if (device != 0) {
            ++openDevices;
            return device;
        }
        firstError = SDL_GetError();
    }
    // Restarting the subsystem would close devices that are playing, so only
    // a first device gets the fallback.
    if (!onDummy && openDevices == 0 && SwitchToDummy()) {
        SDL_AudioSpec spec = wanted;
        const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
        if (device != 0) {
            ++openDevices;
            return device;
        }
    }
    if (errorText) *errorText = firstError.empty() ? std::string("The audio subsystem is not available") : firstError;
    return 0;
}

void SdlAudioSystem::CloseDevice(SDL_AudioDeviceID device) {
    if (device == 0) return;
    std::lock_guard lock(mutex);
    // Joins the device's thread; its callback never takes this lock.
    SDL_CloseAudioDevice(device);
    --openDevices;
}

bool SdlAudioSystem::SwitchToDummy() {
    onDummy = true;
    if (state == State::Running) SDL_AudioQuit();
    // SDL_AudioInit names the driver directly; SDL_InitSubSystem would read
    // SDL_AUDIODRIVER again and pick the same failing driver.
    state = SDL_AudioInit(kDummyDriver) == 0 ? State::Running : State::Failed;
    return state == State::Running;
}
