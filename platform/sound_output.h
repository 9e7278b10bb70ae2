#pragma once

#include <memory>

// The platform's sound: one output, effects held decoded in memory with up to
// kPlaybacksPerEffect playbacks each, and looping background sounds, mixed
// below full scale. Effects and loops are named by small handles, 0 meaning
// none. When the output cannot be opened every later call does nothing, so
// callers never check a result. Each platform defines it in its own room.
class SoundOutput {
public:
    static constexpr int kPlaybacksPerEffect = 4;

    SoundOutput();
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // Opens the output; without one it says so in one line on stderr.
    bool open();
    bool isOpen() const;

    // 0 when the file cannot be read.
    int loadEffect(const char* path);
    // Starts `effect` from its beginning on a free playback, or else over the
    // one that has played longest. Returns that playback, or -1 when nothing
    // was started.
    int playEffect(int effect);
    // Starts `path` looping for ever; 0 when it cannot be opened.
    int openLoop(const char* path);
    void releaseLoop(int loop);

    int playbacksSounding(int effect) const;
    bool isLooping(int loop) const;
    int loopsOpen() const;

private:
    struct Device; // the platform's own
    std::unique_ptr<Device> device_;
};
