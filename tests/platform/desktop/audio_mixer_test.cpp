#include "platform/desktop/audio_mixer.h"

#include "support/audio_driver.h"
#include "support/scoped_environment.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kLongEffect = "./sound/shipexplode.mp3"; // 2.4 s: outlasts every test
constexpr const char* kOtherEffect = "./sound/planetexplosion.mp3";
constexpr const char* kWind = "./sound/hollowwind.mp3";
constexpr const char* kMissingFile = "./sound/no-such-sound.mp3";

// Waits, boundedly, for the mixer's threads to bring something about.
bool eventually(const std::function<bool()>& holds) {
    for (int wait = 0; wait < 5000 && !holds(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return holds();
}

// Points the link `link` at `target` in one step, as a rename does.
void repoint(const std::string& link, const std::string& target) {
    const std::string fresh = link + ".fresh";
    std::filesystem::create_symlink(target, fresh);
    std::filesystem::rename(fresh, link);
}

// The dummy driver consumes audio in real time, with no device behind it.
class OpenMixer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mixer_.open()); }

    bool someOfItMixed(int effect, int playback) const {
        return eventually([&] { return mixer_.framesPlayed(effect, playback) > 0; });
    }

    ScopedAudioDriver driver_{"dummy"};
    AudioMixer mixer_;
};

} // namespace

TEST_F(OpenMixer, OpensTheOutputAt44100Hz) {
    EXPECT_TRUE(mixer_.isOpen());
    EXPECT_EQ(mixer_.outputFrequency(), 44100);
}

TEST_F(OpenMixer, LeavesInterruptAndTerminateToEndTheGame) {
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        sigaction(signal, nullptr, &action);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << "signal " << signal;
    }
}

TEST_F(OpenMixer, FivePlaysWithinAMomentKeepFourSoundingAndRestartTheFirst) {
    const int effect = mixer_.loadEffect(kLongEffect);
    ASSERT_NE(effect, 0);

    std::array<int, 4> playbacks{};
    for (int& playback : playbacks) {
        playback = mixer_.playEffect(effect);
    }
    EXPECT_EQ(mixer_.playbacksSounding(effect), 4);
    EXPECT_EQ(playbacks, (std::array<int, 4>{0, 1, 2, 3}));

    // Started within the same millisecond, the first is still the one to go.
    EXPECT_EQ(mixer_.playEffect(effect), playbacks[0]);
    EXPECT_EQ(mixer_.playbacksSounding(effect), 4);
    EXPECT_EQ(mixer_.playEffect(effect), playbacks[1]);
}

TEST_F(OpenMixer, AFifthPlaybackRestartsTheOneFurthestAlong) {
    const int effect = mixer_.loadEffect(kLongEffect);
    ASSERT_NE(effect, 0);
    const int first = mixer_.playEffect(effect);
    ASSERT_TRUE(someOfItMixed(effect, first));
    std::array<int, 3> later{};
    for (int& playback : later) {
        playback = mixer_.playEffect(effect);
    }
    for (const int playback : later) {
        ASSERT_GT(mixer_.framesPlayed(effect, first), mixer_.framesPlayed(effect, playback));
    }

    EXPECT_EQ(mixer_.playEffect(effect), first);

    EXPECT_EQ(mixer_.playbacksSounding(effect), 4);
    for (const int playback : later) {
        EXPECT_LE(mixer_.framesPlayed(effect, first), mixer_.framesPlayed(effect, playback));
    }
}

TEST_F(OpenMixer, DifferentEffectsAndALoopSoundTogether) {
    const int explosion = mixer_.loadEffect(kLongEffect);
    const int crash = mixer_.loadEffect(kOtherEffect);
    ASSERT_NE(explosion, 0);
    ASSERT_NE(crash, 0);
    ASSERT_NE(explosion, crash);
    const int wind = mixer_.openLoop(kWind);
    ASSERT_NE(wind, 0);

    for (int play = 0; play < AudioMixer::kPlaybacksPerEffect; ++play) {
        mixer_.playEffect(explosion);
    }
    mixer_.playEffect(crash);

    EXPECT_EQ(mixer_.playbacksSounding(explosion), 4);
    EXPECT_EQ(mixer_.playbacksSounding(crash), 1);
    EXPECT_TRUE(mixer_.isLooping(wind));
}

TEST_F(OpenMixer, AReleasedLoopStopsAndIsNoLongerOpen) {
    const int wind = mixer_.openLoop(kWind);
    ASSERT_NE(wind, 0);
    EXPECT_EQ(mixer_.loopsOpen(), 1);

    mixer_.releaseLoop(wind);
    mixer_.releaseLoop(wind); // a second release does nothing

    EXPECT_FALSE(mixer_.isLooping(wind));
    EXPECT_EQ(mixer_.loopsOpen(), 0);
}

TEST_F(OpenMixer, AMissingFileLoadsAsNothingAndStaysQuiet) {
    testing::internal::CaptureStderr();
    const int effect = mixer_.loadEffect(kMissingFile);
    const int loop = mixer_.openLoop(kMissingFile);
    const int playback = mixer_.playEffect(effect);
    mixer_.releaseLoop(loop);
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_EQ(effect, 0);
    EXPECT_EQ(loop, 0);
    EXPECT_EQ(playback, -1);
    EXPECT_EQ(mixer_.loopsOpen(), 0);
    EXPECT_EQ(said, "");
}

TEST(AudioMixer, WithoutADeviceSaysSoOnceAndDoesNothing) {
    const ScopedAudioDriver noDevice(kNoAudioDevice);
    AudioMixer mixer;

    testing::internal::CaptureStderr();
    const bool opened = mixer.open();
    const int effect = mixer.loadEffect(kLongEffect);
    const int playback = mixer.playEffect(effect);
    const int loop = mixer.openLoop(kWind);
    mixer.releaseLoop(loop);
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_FALSE(opened);
    EXPECT_FALSE(mixer.isOpen());
    EXPECT_EQ(effect, 0);
    EXPECT_EQ(playback, -1);
    EXPECT_EQ(loop, 0);
    EXPECT_EQ(mixer.playbacksSounding(effect), 0);
    EXPECT_EQ(said, "vantorel: no audio device, playing in silence\n");
}

// SDL's disk driver writes the mix into a file as fast as it is made.
TEST(AudioMixer, TheWindAndFourExplosionsStayBelowFullScale) {
    const std::string heard =
        testing::TempDir() + "vantorel-mix-" + std::to_string(getpid()) + ".raw";
    const ScopedAudioDriver driver("disk");
    const ScopedEnvironment file("SDL_DISKAUDIOFILE", heard);
    const ScopedEnvironment noWaiting("SDL_DISKAUDIODELAY", "0");
    AudioMixer mixer;
    ASSERT_TRUE(mixer.open());
    const int explosion = mixer.loadEffect(kLongEffect);
    ASSERT_NE(explosion, 0);
    mixer.openLoop(kWind);
    for (int play = 0; play < AudioMixer::kPlaybacksPerEffect; ++play) {
        mixer.playEffect(explosion);
    }
    constexpr long kOneSecond = 44100;
    eventually([&] { return mixer.framesPlayed(explosion, 0) >= kOneSecond; });
    mixer.close();

    std::ifstream in(heard, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    std::remove(heard.c_str());
    std::vector<float> samples(bytes.size() / sizeof(float)); // the mix is made in floats
    std::copy_n(bytes.data(), samples.size() * sizeof(float),
                reinterpret_cast<char*>(samples.data()));
    float loudest = 0.0f;
    for (const float sample : samples) {
        loudest = std::max(loudest, std::fabs(sample));
    }
    EXPECT_GT(loudest, 0.8f) << "four explosions at once are loud";
    EXPECT_LT(loudest, 0.9f) << "and still below full scale, with a decibel to spare";
}

TEST(AudioMixer, OpensAgainAfterClosing) {
    const ScopedAudioDriver driver("dummy");
    AudioMixer mixer;
    ASSERT_TRUE(mixer.open());
    ASSERT_NE(mixer.loadEffect(kLongEffect), 0);
    mixer.close();
    EXPECT_FALSE(mixer.isOpen());
    EXPECT_EQ(mixer.playEffect(1), -1);

    ASSERT_TRUE(mixer.open());
    const int effect = mixer.loadEffect(kOtherEffect);
    EXPECT_EQ(effect, 1);
    EXPECT_EQ(mixer.playEffect(effect), 0);
    EXPECT_EQ(mixer.playbacksSounding(effect), 1);
}

// SDL's disk driver loses its device when a write fails, so a file on a full
// disk stands for a sound server that went away. The driver writes through a
// link: pointed at a real file, the device can be had again.
TEST(AudioMixer, AnOutputThatWentAwayComesBackWithItsLoopAndEffects) {
    const TemporaryFolder folder;
    const std::string output = folder.pathOf("output");
    std::filesystem::create_symlink("/dev/full", output);
    const ScopedAudioDriver driver("disk");
    const ScopedEnvironment file("SDL_DISKAUDIOFILE", output);
    AudioMixer mixer;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(mixer.open());
    const int explosion = mixer.loadEffect(kLongEffect);
    const int wind = mixer.openLoop(kWind);
    ASSERT_NE(explosion, 0);
    ASSERT_NE(wind, 0);

    ASSERT_TRUE(eventually([&] { return !mixer.hasOutput(); }));
    repoint(output, folder.pathOf("heard.raw"));
    // The wind loops and is heard again, after the first blocks of the new output.
    ASSERT_TRUE(eventually([&] {
        return mixer.isLooping(wind) &&
               folder.read("heard.raw").find_first_not_of('\0') != std::string::npos;
    }));
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_TRUE(mixer.hasOutput());
    EXPECT_EQ(mixer.playEffect(explosion), 0);
    EXPECT_EQ(mixer.playbacksSounding(explosion), 1);
    // Said once, however often the full disk took the device again; the disk
    // driver has its own say as well.
    const std::string notice =
        "vantorel: the audio device went away, playing in silence until it returns\n";
    EXPECT_NE(said.find(notice), std::string::npos) << said;
    EXPECT_EQ(said.find(notice), said.rfind(notice)) << said;
}
