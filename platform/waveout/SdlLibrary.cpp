#include "platform/waveout/SdlLibrary.h"

#include <dlfcn.h>

namespace {
constexpr const char* kLibrary = "libSDL2-2.0.so.0";

struct Loaded {
    SdlCalls calls{};
    std::string error;  // empty once every call was found
};

template <typename Call>
bool Find(void* library, const char* name, Call& call, std::string& error) {
    call = reinterpret_cast<Call>(dlsym(library, name));
    if (call == nullptr && error.empty()) error = std::string("The sound library ") + kLibrary + " lacks " + name;
    return call != nullptr;
}

Loaded Load() {
    Loaded loaded;
    // Never closed: SDL's threads and exit handlers live as long as the process.
    void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        loaded.error = std::string("Unable to load the sound library: ") + (reason ? reason : kLibrary);
        return loaded;
    }
    SdlCalls& c = loaded.calls;
    std::string& e = loaded.error;
    Find(library, "SDL_AudioInit", c.AudioInit, e);
    Find(library, "SDL_AudioQuit", c.AudioQuit, e);
    Find(library, "SDL_CloseAudioDevice", c.CloseAudioDevice, e);
    Find(library, "SDL_CreateThread", c.CreateThread, e);
    Find(library, "SDL_GetCurrentAudioDriver", c.GetCurrentAudioDriver, e);
    Find(library, "SDL_GetError", c.GetError, e);
    Find(library, "SDL_InitSubSystem", c.InitSubSystem, e);
    Find(library, "SDL_OpenAudioDevice", c.OpenAudioDevice, e);
    Find(library, "SDL_PauseAudioDevice", c.PauseAudioDevice, e);
    Find(library, "SDL_SetHint", c.SetHint, e);
    Find(library, "SDL_WaitThread", c.WaitThread, e);
    return loaded;
}
}  // namespace

const SdlCalls* Sdl(std::string* errorText) {
    static const Loaded loaded = Load();
    if (loaded.error.empty()) return &loaded.calls;
    if (errorText) *errorText = loaded.error;
    return nullptr;
}
