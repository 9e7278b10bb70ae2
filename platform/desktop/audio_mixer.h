#pragma once

#include "audio/limiter.h"
#include "platform/desktop/periodic_thread.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

struct Mix_Chunk;
struct _Mix_Music;

// Our thin layer over SDL2_mixer: one 44100 Hz output, effects held in memory
// with up to four playbacks each, and streamed background loops. The mix is
// made in floating point and limited below full scale, so sounds that pile up
// never clip. Effects and loops are named by small handles, 0 meaning none.
// When the output cannot be opened every later call does nothing, so callers
// never check a result.
//
// An output that goes away (a sound server restarting, a headset unplugged) is
// noticed and opened again by a thread of the mixer's own, a few times a
// second, until it comes back; then the loop that was playing starts again and
// the effects play as before. Meanwhile the game plays on in silence: a call
// that finds the mixer busy opening does nothing rather than wait.
// SDL2_mixer is process-wide: keep one open AudioMixer at a time.
class AudioMixer {
public:
    static constexpr int kPlaybacksPerEffect = 4;

    AudioMixer();
    ~AudioMixer();
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    // Opens the output at 44100 Hz. Without a device it says so in one line on
    // stderr and stays closed.
    bool open();
    void close();
    bool isOpen() const { return open_; }
    // Whether a device is taking the sound right now: false while one that
    // went away has not come back.
    bool hasOutput() const { return outputUp_; }

    // Decodes the whole file into memory; 0 when it cannot be read.
    int loadEffect(const char* path);
    // Starts a playback of `effect` from its beginning on a free one of its
    // playbacks, or else over the one that has played longest. Returns that
    // playback (0 to 3), or -1 when nothing was started.
    int playEffect(int effect);

    // Opens `path` to be decoded while it plays and starts it looping for ever;
    // 0 when it cannot be opened.
    int openLoop(const char* path);
    void releaseLoop(int loop);

    int outputFrequency() const;
    int playbacksSounding(int effect) const;
    // Sample frames of `effect` mixed so far by its playback `playback`.
    long framesPlayed(int effect, int playback) const;
    bool isLooping(int loop) const;
    int loopsOpen() const;

private:
    struct Playback {
        std::atomic<long> bytesMixed{0};
        unsigned long startOrder = 0;
    };

    struct Loop {
        std::string path; // empty once released
        _Mix_Music* music = nullptr;
    };

    using DeviceLock = std::unique_lock<std::mutex>;

    DeviceLock lockUnlessBusy() const;
    bool startOutput();
    bool startAudio() const;
    void stopOutput();
    void layOutChannels();
    void restartLoopPlaying();
    void freeLoop(Loop& loop);
    void watchOutput();
    bool outputWasLost() const;

    bool isEffect(int effect) const;
    bool isLoop(int loop) const;
    int channelOf(int effect, int playback) const;
    int playbackToTake(int effect) const;
    static void countMixedBytes(int channel, void* stream, int length, void* playback);
    static void limitMix(void* limiter, unsigned char* stream, int length);

    bool open_ = false;
    // Held while SDL and the fields below are used, by either thread.
    mutable std::mutex device_;
    std::atomic<bool> outputUp_{false};
    std::string driver_; // the one that took the sound, asked for again when it goes
    bool lossReported_ = false;
    std::vector<Mix_Chunk*> effects_;
    std::deque<Playback> playbacks_; // kPlaybacksPerEffect per effect, in channel order
    unsigned long playsStarted_ = 0;
    std::vector<Loop> loops_;
    int loopPlaying_ = 0;
    Limiter limiter_;      // touched by the mixer's thread only, while open
    PeriodicThread watch_; // last: it stops before the rest goes
};
