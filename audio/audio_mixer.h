#pragma once

#include "audio/limiter.h"

#include <atomic>
#include <deque>
#include <vector>

struct Mix_Chunk;
struct _Mix_Music;

// Our thin layer over SDL2_mixer: one 44100 Hz output, effects held in memory
// with up to four playbacks each, and streamed background loops. The mix is
// made in floating point and limited below full scale, so sounds that pile up
// never clip. Effects and
// loops are named by small handles, 0 meaning none. When the output cannot be
// opened every later call does nothing, so callers never check a result.
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

    bool isEffect(int effect) const;
    int channelOf(int effect, int playback) const;
    int playbackToTake(int effect) const;
    static void countMixedBytes(int channel, void* stream, int length, void* playback);
    static void limitMix(void* limiter, unsigned char* stream, int length);

    bool open_ = false;
    std::vector<Mix_Chunk*> effects_;
    std::deque<Playback> playbacks_; // kPlaybacksPerEffect per effect, in channel order
    unsigned long playsStarted_ = 0;
    std::vector<_Mix_Music*> loops_;
    int loopPlaying_ = 0;
    Limiter limiter_; // touched by the mixer's thread only, while open
};
