#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

// The SDL and SDL2_mixer functions the audio mixer calls, under their own
// names. They are looked up in SDL2_mixer when the sound is first opened rather
// than linked with the program: the library brings some sixty others with it
// (its decoders, FluidSynth, PulseAudio, JACK, GLib...), and loading those with
// the program took a fifth of the start-up before the title could show.
struct MixerLibrary {
    decltype(&::SDL_SetHint) SDL_SetHint = nullptr;
    decltype(&::SDL_ResetHint) SDL_ResetHint = nullptr;
    decltype(&::SDL_InitSubSystem) SDL_InitSubSystem = nullptr;
    decltype(&::SDL_QuitSubSystem) SDL_QuitSubSystem = nullptr;
    decltype(&::SDL_GetCurrentAudioDriver) SDL_GetCurrentAudioDriver = nullptr;
    decltype(&::SDL_PeepEvents) SDL_PeepEvents = nullptr;
    decltype(&::Mix_Init) Mix_Init = nullptr;
    decltype(&::Mix_Quit) Mix_Quit = nullptr;
    decltype(&::Mix_OpenAudioDevice) Mix_OpenAudioDevice = nullptr;
    decltype(&::Mix_CloseAudio) Mix_CloseAudio = nullptr;
    decltype(&::Mix_QuerySpec) Mix_QuerySpec = nullptr;
    decltype(&::Mix_AllocateChannels) Mix_AllocateChannels = nullptr;
    decltype(&::Mix_GroupChannels) Mix_GroupChannels = nullptr;
    decltype(&::Mix_SetPostMix) Mix_SetPostMix = nullptr;
    decltype(&::Mix_RegisterEffect) Mix_RegisterEffect = nullptr;
    decltype(&::Mix_LoadWAV) Mix_LoadWAV = nullptr;
    decltype(&::Mix_FreeChunk) Mix_FreeChunk = nullptr;
    decltype(&::Mix_PlayChannel) Mix_PlayChannel = nullptr;
    decltype(&::Mix_HaltChannel) Mix_HaltChannel = nullptr;
    decltype(&::Mix_Playing) Mix_Playing = nullptr;
    decltype(&::Mix_LoadMUS) Mix_LoadMUS = nullptr;
    decltype(&::Mix_FreeMusic) Mix_FreeMusic = nullptr;
    decltype(&::Mix_PlayMusic) Mix_PlayMusic = nullptr;
    decltype(&::Mix_HaltMusic) Mix_HaltMusic = nullptr;
    decltype(&::Mix_PlayingMusic) Mix_PlayingMusic = nullptr;
};

// Opens SDL2_mixer on the first call and keeps it for the rest of the run;
// null when it, or one of the functions, cannot be found.
const MixerLibrary* openMixerLibrary();
