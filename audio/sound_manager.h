#pragma once

#include "platform/sound_output.h"
#include "world/sound_sink.h"

#include <optional>

// The six effects by id and the one looping background sound. Nothing here
// checks whether a sound was heard: without a device or a file the game plays
// on in silence. An effect asked for again while its latest playback is still
// young is not started again, so a request on every frame sounds as one
// continuous effect rather than a pile of copies of its first moments.
class SoundManager {
public:
    // From now on no audio device is opened at all: load and playStream do
    // nothing and effects are only counted. For a player who asked for silence.
    void mute() { muted_ = true; }
    // Opens the output and loads the six effects into memory.
    void load();
    // Plays effect `id` once from its start, over whatever is already sounding,
    // unless its latest playback is younger than the effect's minimum age.
    void play(int id);
    // Releases the current background sound and starts `path` looping in its place.
    void playStream(const char* path);

    // How many times effect `id` has been asked for since start, started or not.
    int timesPlayed(int id) const;
    // The output's handle of effect `id`, 0 when it is not loaded.
    int sample(int id) const;
    int stream() const { return stream_; }
    const SoundOutput& output() const { return output_; }

private:
    static constexpr int kSlots = 7; // slot 0 is unused: ids start at 1

    bool latestIsYoung(int id, int nowMs) const;

    SoundOutput output_;
    bool muted_ = false;
    int stream_ = 0;
    int samples_[kSlots] = {};
    int timesPlayed_[kSlots] = {};
    std::optional<int> latestStartMs_[kSlots];
};

SoundManager& getSoundManager();
