#include "platform/desktop/audio_mixer.h"

#include "platform/desktop/mixer_library.h"

#include <cstdio>

namespace {

constexpr int kOutputFrequency = 44100;
constexpr int kOutputChannels = 2;
// Floating point mixes without clamping, so the limiter sees what the sounds add up to.
constexpr Uint16 kMixFormat = AUDIO_F32SYS;
constexpr int kMixBufferFrames = 1024;     // about 23 ms between request and sound
constexpr int kOnlyTheRequestedFormat = 0; // SDL converts for the device
constexpr int kLoopForever = -1;
// How often the output is looked at, and opened again once lost: soon heard
// again when its server is back, next to no cost while it is away.
constexpr std::chrono::milliseconds kWatchInterval{250};
constexpr int kEventsAtOnce = 8;
constexpr const char* kSilenceNotice = "vantorel: no audio device, playing in silence\n";
constexpr const char* kLossNotice =
    "vantorel: the audio device went away, playing in silence until it returns\n";

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
    if (!sdl || !startOutput()) {
        std::fputs(kSilenceNotice, stderr);
        return false;
    }
    open_ = true;
    lossReported_ = false;
    watch_.start(kWatchInterval, [this] { watchOutput(); });
    return true;
}

void AudioMixer::close() {
    if (!open_) {
        return;
    }
    watch_.stop();
    if (outputUp_) {
        stopOutput();
    }
    for (Mix_Chunk* effect : effects_) {
        sdl->Mix_FreeChunk(effect); // nothing plays them any more
    }
    effects_.clear();
    playbacks_.clear();
    loops_.clear();
    loopPlaying_ = 0;
    driver_.clear();
    open_ = false;
}

// Opens the device with the driver that had it before, if any, and lays the
// mixer out for the effects and the loop it had.
bool AudioMixer::startOutput() {
    // Audio brings up SDL's events, whose signal handlers would swallow SIGINT and
    // SIGTERM; nothing here waits on SDL events, so the game must keep the default.
    sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!startAudio()) {
        return false;
    }
    sdl->Mix_Init(MIX_INIT_MP3);
    if (sdl->Mix_OpenAudioDevice(kOutputFrequency, kMixFormat, kOutputChannels, kMixBufferFrames,
                                 nullptr, kOnlyTheRequestedFormat) != 0) {
        sdl->Mix_Quit();
        sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    driver_ = sdl->SDL_GetCurrentAudioDriver();
    layOutChannels();
    limiter_ = Limiter(kOutputFrequency, kOutputChannels);
    sdl->Mix_SetPostMix(limitMix, &limiter_);
    outputUp_ = true;
    restartLoopPlaying();
    return true;
}

// SDL tries every driver it knows when none is named; an output that went away
// is looked for where it was, not on another device meanwhile.
bool AudioMixer::startAudio() const {
    if (driver_.empty()) {
        return sdl->SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    sdl->SDL_SetHint(SDL_HINT_AUDIODRIVER, driver_.c_str());
    const bool started = sdl->SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    sdl->SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return started;
}

// The effects stay decoded in memory for the next output, which mixes in the
// same format; the loops' decoders do not outlive SDL2_mixer's, so they go.
void AudioMixer::stopOutput() {
    outputUp_ = false;
    sdl->Mix_HaltMusic();
    for (Loop& loop : loops_) {
        freeLoop(loop);
    }
    sdl->Mix_AllocateChannels(0); // halts every playback
    // Only once all is silent: a block mixed without the limiter would clip.
    sdl->Mix_SetPostMix(nullptr, nullptr);
    sdl->Mix_CloseAudio();
    sdl->Mix_Quit();
    sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioMixer::layOutChannels() {
    sdl->Mix_AllocateChannels(static_cast<int>(playbacks_.size()));
    for (int effect = 1; effect <= static_cast<int>(effects_.size()); ++effect) {
        sdl->Mix_GroupChannels(channelOf(effect, 0), channelOf(effect, kPlaybacksPerEffect - 1),
                               effect);
    }
}

void AudioMixer::restartLoopPlaying() {
    if (!isLoop(loopPlaying_)) {
        return;
    }
    Loop& loop = loops_[static_cast<std::size_t>(loopPlaying_ - 1)];
    loop.music = sdl->Mix_LoadMUS(loop.path.c_str());
    if (!loop.music || sdl->Mix_PlayMusic(loop.music, kLoopForever) != 0) {
        loopPlaying_ = 0;
    }
}

void AudioMixer::freeLoop(Loop& loop) {
    if (loop.music) {
        sdl->Mix_FreeMusic(loop.music); // halts it first if it is the one playing
        loop.music = nullptr;
    }
}

// Runs on the watch's thread. Looking for a loss takes no lock, so the game's
// thread is kept waiting only while the output is being opened again.
void AudioMixer::watchOutput() {
    if (outputUp_ && !outputWasLost()) {
        return;
    }
    const std::lock_guard<std::mutex> device(device_);
    if (outputUp_) {
        stopOutput();
        if (!lossReported_) {
            std::fputs(kLossNotice, stderr);
            lossReported_ = true;
        }
    }
    startOutput();
}

// SDL tells of a device that went away with an event; ours is the only output.
bool AudioMixer::outputWasLost() const {
    SDL_Event events[kEventsAtOnce];
    bool lost = false;
    int count = 0;
    while ((count = sdl->SDL_PeepEvents(events, kEventsAtOnce, SDL_GETEVENT, SDL_AUDIODEVICEADDED,
                                        SDL_AUDIODEVICEREMOVED)) > 0) {
        for (int i = 0; i < count; ++i) {
            lost =
                lost || (events[i].type == SDL_AUDIODEVICEREMOVED && !events[i].adevice.iscapture);
        }
    }
    return lost;
}

// The game's thread never waits on the watch: while it opens the output again,
// whatever was asked for is let go, as it would have gone unheard.
AudioMixer::DeviceLock AudioMixer::lockUnlessBusy() const {
    return DeviceLock(device_, std::try_to_lock);
}

int AudioMixer::loadEffect(const char* path) {
    const DeviceLock device = lockUnlessBusy();
    if (!device || !outputUp_) {
        return 0;
    }
    Mix_Chunk* const chunk = sdl->Mix_LoadWAV(path);
    if (!chunk) {
        return 0;
    }
    effects_.push_back(chunk);
    for (int playback = 0; playback < kPlaybacksPerEffect; ++playback) {
        playbacks_.emplace_back();
    }
    layOutChannels();
    return static_cast<int>(effects_.size());
}

int AudioMixer::playEffect(int effect) {
    const DeviceLock device = lockUnlessBusy();
    if (!device || !outputUp_ || !isEffect(effect)) {
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
    const DeviceLock device = lockUnlessBusy();
    if (!device || !outputUp_) {
        return 0;
    }
    Mix_Music* const music = sdl->Mix_LoadMUS(path);
    if (!music) {
        return 0;
    }
    loops_.push_back(Loop{path, music});
    const int loop = static_cast<int>(loops_.size());
    if (sdl->Mix_PlayMusic(music, kLoopForever) == 0) {
        loopPlaying_ = loop;
    }
    return loop;
}

// A loop is let go even while the output is away: it must not come back with it.
void AudioMixer::releaseLoop(int loop) {
    const DeviceLock device = lockUnlessBusy();
    if (!device || !isLoop(loop)) {
        return;
    }
    Loop& released = loops_[static_cast<std::size_t>(loop - 1)];
    freeLoop(released);
    released.path.clear();
    if (loopPlaying_ == loop) {
        loopPlaying_ = 0;
    }
}

int AudioMixer::outputFrequency() const {
    const DeviceLock device = lockUnlessBusy();
    return device && outputUp_ ? openedOutput().frequency : 0;
}

int AudioMixer::playbacksSounding(int effect) const {
    const DeviceLock device = lockUnlessBusy();
    if (!device || !outputUp_ || !isEffect(effect)) {
        return 0;
    }
    int sounding = 0;
    for (int playback = 0; playback < kPlaybacksPerEffect; ++playback) {
        sounding += sdl->Mix_Playing(channelOf(effect, playback)) != 0 ? 1 : 0;
    }
    return sounding;
}

long AudioMixer::framesPlayed(int effect, int playback) const {
    const DeviceLock device = lockUnlessBusy();
    if (!device || !outputUp_) {
        return 0;
    }
    const int frameBytes = bytesPerFrame();
    if (!isEffect(effect) || playback < 0 || playback >= kPlaybacksPerEffect || frameBytes == 0) {
        return 0;
    }
    return playbacks_[static_cast<std::size_t>(channelOf(effect, playback))].bytesMixed /
           frameBytes;
}

bool AudioMixer::isLooping(int loop) const {
    const DeviceLock device = lockUnlessBusy();
    return device && outputUp_ && loop != 0 && loop == loopPlaying_ && sdl->Mix_PlayingMusic() != 0;
}

// Only this thread adds or releases loops, so counting them needs no lock.
int AudioMixer::loopsOpen() const {
    int open = 0;
    for (const Loop& loop : loops_) {
        open += loop.path.empty() ? 0 : 1;
    }
    return open;
}

bool AudioMixer::isEffect(int effect) const {
    return open_ && effect >= 1 && effect <= static_cast<int>(effects_.size());
}

bool AudioMixer::isLoop(int loop) const {
    return loop >= 1 && loop <= static_cast<int>(loops_.size()) &&
           !loops_[static_cast<std::size_t>(loop - 1)].path.empty();
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
