#include "platform/desktop/mixer_library.h"

#include <dlfcn.h>

#include <memory>

namespace {

constexpr const char* kLibraryFile = "libSDL2_mixer-2.0.so.0";

template <typename Function> bool find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

bool findAll(void* library, MixerLibrary& m) {
    return find(library, "SDL_SetHint", m.SDL_SetHint) &&
           find(library, "SDL_ResetHint", m.SDL_ResetHint) &&
           find(library, "SDL_InitSubSystem", m.SDL_InitSubSystem) &&
           find(library, "SDL_QuitSubSystem", m.SDL_QuitSubSystem) &&
           find(library, "SDL_GetCurrentAudioDriver", m.SDL_GetCurrentAudioDriver) &&
           find(library, "SDL_PeepEvents", m.SDL_PeepEvents) &&
           find(library, "Mix_Init", m.Mix_Init) && find(library, "Mix_Quit", m.Mix_Quit) &&
           find(library, "Mix_OpenAudioDevice", m.Mix_OpenAudioDevice) &&
           find(library, "Mix_CloseAudio", m.Mix_CloseAudio) &&
           find(library, "Mix_QuerySpec", m.Mix_QuerySpec) &&
           find(library, "Mix_AllocateChannels", m.Mix_AllocateChannels) &&
           find(library, "Mix_GroupChannels", m.Mix_GroupChannels) &&
           find(library, "Mix_SetPostMix", m.Mix_SetPostMix) &&
           find(library, "Mix_RegisterEffect", m.Mix_RegisterEffect) &&
           find(library, "Mix_LoadWAV", m.Mix_LoadWAV) &&
           find(library, "Mix_FreeChunk", m.Mix_FreeChunk) &&
           find(library, "Mix_PlayChannel", m.Mix_PlayChannel) &&
           find(library, "Mix_HaltChannel", m.Mix_HaltChannel) &&
           find(library, "Mix_Playing", m.Mix_Playing) &&
           find(library, "Mix_LoadMUS", m.Mix_LoadMUS) &&
           find(library, "Mix_FreeMusic", m.Mix_FreeMusic) &&
           find(library, "Mix_PlayMusic", m.Mix_PlayMusic) &&
           find(library, "Mix_HaltMusic", m.Mix_HaltMusic) &&
           find(library, "Mix_PlayingMusic", m.Mix_PlayingMusic);
}

std::unique_ptr<MixerLibrary> load() {
    void* const library = dlopen(kLibraryFile, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        return nullptr;
    }
    auto functions = std::make_unique<MixerLibrary>();
    return findAll(library, *functions) ? std::move(functions) : nullptr;
}

} // namespace

// Never closed, nor are its functions let go: the mixer's threads, and the one
// that watches over its output, run in it until the process has ended.
const MixerLibrary* openMixerLibrary() {
    static const MixerLibrary* const library = load().release();
    return library;
}
