#pragma once
// SDL2, opened when the first sound device is wanted rather than when the
// program starts. It links PulseAudio, ALSA, Wayland, libdecor and, through
// libsndfile, a row of codec libraries: 31 libraries, about 2 MiB resident
// and 2.5 ms of every start, none of which a player needs before it plays
// (one started hidden for automation, say). SDL's header gives the types; these
// pointers are the calls. The library stays loaded once opened.
//
// Threads: any; the first call loads the library.

#include <SDL.h>

#include <string>

struct SdlCalls {
    decltype(&SDL_AudioInit) AudioInit;
    decltype(&SDL_AudioQuit) AudioQuit;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
    decltype(&SDL_CreateThread) CreateThread;
    decltype(&SDL_GetCurrentAudioDriver) GetCurrentAudioDriver;
    decltype(&SDL_GetError) GetError;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_WaitThread) WaitThread;
};

// The calls, or nullptr with the reason in errorText when SDL2 cannot be
// loaded (then it never can in this process).
const SdlCalls* Sdl(std::string* errorText = nullptr);
