#include "audio/audio_mixer.h"

#include "audio/mixer_library.h"

#include <cstdio>

namespace {

constexpr int kOutputFrequency = 44100;
constexpr int kOutputChannels = 2;
// Floating point mixes without clamping, so the limiter sees what the sounds add up to.
constexpr Uint16 kMixFormat = AUDIO_F32SYS;
constexpr int kMixBufferFrames = 1024;     // about 23 ms between request and sound
constexpr int kOnlyTheRequestedFormat = 0; // SDL converts for the device
constexpr int kLoopForever = -1;
constexpr const char* kSilenceNotice = "vantorel: no audio device, playing in silence\n";

// Set by the first open; SDL2_mixer is process-wide, as is this.
const MixerLibrary* sdl = nullptr;

struct OutputSpec {
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
};

OutputSpec openedOutput() {
    OutputSpec spec;
    if (!sdl || sdl->Mix_QuerySpec(&spec.frequency, &spec.format, &spec.channels) == 0) {
        return OutputSpec{};
    }
    return spec;
}

int bytesPerFrame() {
    const OutputSpec spec = openedOutput();
    return SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
}

} // namespace

AudioMixer::AudioMixer() : limiter_(kOutputFrequency, kOutputChannels) {}

AudioMixer::~AudioMixer() {
    close();
}

bool AudioMixer::open() {
    if (open_) {
        return true;
    }
    sdl = openMixerLibrary();
    if (!sdl) {
        std::fputs(kSilenceNotice, stderr);
        return false;
    }
    // Audio brings up SDL's events, whose signal handlers would swallow SIGINT and
    // SIGTERM; nothing here reads SDL events, so the game must keep the default.
    sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (sdl->SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fputs(kSilenceNotice, stderr);
        return false;
    }
    sdl->Mix_Init(MIX_INIT_MP3);
    if (sdl->Mix_OpenAudioDevice(kOutputFrequency, kMixFormat, kOutputChannels, kMixBufferFrames,
                                 nullptr, kOnlyTheRequestedFormat) != 0) {
        sdl->Mix_Quit();
        sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
        std::fputs(kSilenceNotice, stderr);
        return false;
    }
    sdl->Mix_AllocateChannels(0);
    limiter_ = Limiter(kOutputFrequency, kOutputChannels);
    sdl->Mix_SetPostMix(limitMix, &limiter_);
    open_ = true;
    return true;
}

void AudioMixer::close() {
    if (!open_) {
        return;
    }
    sdl->Mix_HaltMusic();
    for (int loop = 1; loop <= static_cast<int>(loops_.size()); ++loop) {
        releaseLoop(loop);
    }
    sdl->Mix_AllocateChannels(0); // halts every playback before its chunk goes
    // Only once all is silent: a block mixed without the limiter would clip.
    sdl->Mix_SetPostMix(nullptr, nullptr);
    for (Mix_Chunk* effect : effects_) {
        sdl->Mix_FreeChunk(effect);
    }
    sdl->Mix_CloseAudio();
    sdl->Mix_Quit();
    sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
    effects_.clear();
    playbacks_.clear();
    loops_.clear();
    loopPlaying_ = 0;
    open_ = false;
}

int AudioMixer::loadEffect(const char* path) {
    if (!open_) {
        return 0;
    }
    Mix_Chunk* const chunk = sdl->Mix_LoadWAV(path);
    if (!chunk) {
        return 0;
    }
    effects_.push_back(chunk);
    const int effect = static_cast<int>(effects_.size());
    for (int playback = 0; playback < kPlaybacksPerEffect; ++playback) {
        playbacks_.emplace_back();
    }
    sdl->Mix_AllocateChannels(static_cast<int>(playbacks_.size()));
    sdl->Mix_GroupChannels(channelOf(effect, 0), channelOf(effect, kPlaybacksPerEffect - 1),
                           effect);
    return effect;
}

int AudioMixer::playEffect(int effect) {
    if (!isEffect(effect)) {
        return -1;
    }
    const int playback = playbackToTake(effect);
    const int channel = channelOf(effect, playback);
    Playback& state = playbacks_[static_cast<std::size_t>(channel)];
    // Halting drops the channel's counter with the old playback, so the
    // counter can be reset before a new one starts without racing the mixer.
    sdl->Mix_HaltChannel(channel);
    state.bytesMixed = 0;
    state.startOrder = ++playsStarted_;
    sdl->Mix_RegisterEffect(channel, countMixedBytes, nullptr, &state);
    sdl->Mix_PlayChannel(channel, effects_[static_cast<std::size_t>(effect - 1)], 0);
    return playback;
}

int AudioMixer::openLoop(const char* path) {
    if (!open_) {
        return 0;
    }
    Mix_Music* const music = sdl->Mix_LoadMUS(path);
    if (!music) {
        return 0;
    }
    loops_.push_back(music);
    const int loop = static_cast<int>(loops_.size());
    if (sdl->Mix_PlayMusic(music, kLoopForever) == 0) {
        loopPlaying_ = loop;
    }
    return loop;
}

void AudioMixer::releaseLoop(int loop) {
    if (loop < 1 || loop > static_cast<int>(loops_.size())) {
        return;
    }
    Mix_Music*& music = loops_[static_cast<std::size_t>(loop - 1)];
    if (!music) {
        return;
    }
    sdl->Mix_FreeMusic(music); // halts it first if it is the one playing
    music = nullptr;
    if (loopPlaying_ == loop) {
        loopPlaying_ = 0;
    }
}

int AudioMixer::outputFrequency() const {
    return openedOutput().frequency;
}

int AudioMixer::playbacksSounding(int effect) const {
    if (!isEffect(effect)) {
        return 0;
    }
    int sounding = 0;
    for (int playback = 0; playback < kPlaybacksPerEffect; ++playback) {
        sounding += sdl->Mix_Playing(channelOf(effect, playback)) != 0 ? 1 : 0;
    }
    return sounding;
}

long AudioMixer::framesPlayed(int effect, int playback) const {
    const int frameBytes = bytesPerFrame();
    if (!isEffect(effect) || playback < 0 || playback >= kPlaybacksPerEffect || frameBytes == 0) {
        return 0;
    }
    return playbacks_[static_cast<std::size_t>(channelOf(effect, playback))].bytesMixed /
           frameBytes;
}

bool AudioMixer::isLooping(int loop) const {
    return open_ && loop != 0 && loop == loopPlaying_ && sdl->Mix_PlayingMusic() != 0;
}

int AudioMixer::loopsOpen() const {
    int open = 0;
    for (const Mix_Music* music : loops_) {
        open += music ? 1 : 0;
    }
    return open;
}

bool AudioMixer::isEffect(int effect) const {
    return open_ && effect >= 1 && effect <= static_cast<int>(effects_.size());
}

int AudioMixer::channelOf(int effect, int playback) const {
    return (effect - 1) * kPlaybacksPerEffect + playback;
}

// Ties between playbacks started within the same millisecond must still go to
// the first one started, so the order is counted here rather than timed.
int AudioMixer::playbackToTake(int effect) const {
    int oldest = 0;
    for (int playback = 0; playback < kPlaybacksPerEffect; ++playback) {
        const int channel = channelOf(effect, playback);
        if (sdl->Mix_Playing(channel) == 0) {
            return playback;
        }
        const int oldestChannel = channelOf(effect, oldest);
        if (playbacks_[static_cast<std::size_t>(channel)].startOrder <
            playbacks_[static_cast<std::size_t>(oldestChannel)].startOrder) {
            oldest = playback;
        }
    }
    return oldest;
}

// Runs on the mixer's thread for every block of the whole mix, in the format it
// was opened with.
void AudioMixer::limitMix(void* limiter, unsigned char* stream, int length) {
    const int frames = length / static_cast<int>(sizeof(float) * kOutputChannels);
    static_cast<Limiter*>(limiter)->process(reinterpret_cast<float*>(stream), frames);
}

// Runs on the mixer's thread for every block of a playback it mixes.
void AudioMixer::countMixedBytes(int, void*, int length, void* playback) {
    static_cast<Playback*>(playback)->bytesMixed += length;
}
