#pragma once

#include "child_process.h"
#include "support/audio_driver.h"
#include "support/scoped_environment.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// 44100 Hz stereo sound, as the server mixed it or as the game decodes a file.
struct HeardSound {
    static constexpr int kFramesPerSecond = 44100;

    std::vector<std::int16_t> samples; // interleaved left, right

    double seconds() const;
    // Level in dB below full scale over [from, to) seconds; the whole sound by default.
    double levelDb(double from = 0.0, double to = 1e9) const;
    // Samples at the very top or bottom of the 16-bit range: where the sound clipped.
    int fullScaleSamples() const;
    // The most consecutive samples of one channel at the limiter's ceiling, as
    // 16 bits carry it: many in a row are a peak's top clamped flat.
    int longestRunAtCeiling() const;
    // The same once this sound is made `louderDb` louder and limited without
    // look-ahead, its peaks clamped flat: what the measure must catch.
    int longestRunOnceClampedFlat(double louderDb) const;
    // Start of the first 10 ms whose level rises above `levelDb`, or -1.
    double firstRiseAbove(double levelDb) const;
};

// Decodes a sound file with SDL2_mixer, as the game does.
HeardSound decodeSoundFile(const std::string& path);

// A PulseAudio server of the test's own, in a fresh private folder, with one
// null sink and no hardware. While it lives, this process and the games it
// starts send their sound to it through SDL's pulseaudio driver.
class SoundServer {
public:
    SoundServer();
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    bool isRunning() const { return running_; }
    // Ends the server as a desktop's ends when it restarts: its clients lose it.
    void stop();
    // Starts it again on the same address; whether it answers.
    bool start();
    // What went wrong while starting, from the server's own log.
    std::string log() const;

    // Records what is played into the sink until stopRecording.
    void startRecording();
    HeardSound stopRecording();

private:
    std::string path(const char* name) const { return folder_ + "/" + name; }
    bool answers() const;

    const std::string folder_; // first: everything below lives in it
    ScopedAudioDriver driver_{"pulseaudio"};
    ScopedEnvironment address_;
    ScopedEnvironment cookie_;
    std::optional<ChildProcess> server_;
    std::optional<ChildProcess> recorder_;
    bool running_ = false;
};
