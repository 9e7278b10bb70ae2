#include "audio/sound_manager.h"

#include "clock/elapsed_time.h"
#include "support/audio_driver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kWind = "./sound/hollowwind.mp3";

class LoadedSound : public ::testing::Test {
protected:
    void SetUp() override { sound_.load(); }
    void TearDown() override { releaseElapsedMilliseconds(); }

    int sounding(int id) const { return sound_.output().playbacksSounding(sound_.sample(id)); }

    ScopedAudioDriver driver_{"dummy"};
    SoundManager sound_;
};

} // namespace

TEST_F(LoadedSound, LoadsAllSixEffectsFromTheSoundFolder) {
    for (int id = ShipExplode; id <= PlanetExplosion; ++id) {
        EXPECT_NE(sound_.sample(id), 0) << "effect " << id;
    }
    EXPECT_NE(sound_.sample(Spin), sound_.sample(Impact));
    EXPECT_EQ(sound_.sample(0), 0);
    EXPECT_EQ(sound_.sample(7), 0);
}

TEST_F(LoadedSound, PlayingAnEffectSoundsItAndCountsTheRequest) {
    sound_.play(Form);

    EXPECT_EQ(sounding(Form), 1);
    EXPECT_EQ(sound_.timesPlayed(Form), 1);
    EXPECT_EQ(sounding(ShipExplode), 0);
    EXPECT_EQ(sound_.timesPlayed(ShipExplode), 0);
}

// Asked for on every frame, an effect is started again only once its latest
// playback has reached the effect's minimum age; every request is counted.
TEST_F(LoadedSound, AnEffectAskedForAgainWhileYoungStartsNoOtherPlayback) {
    struct Case {
        int id;
        int minimumAgeMs;
    };
    for (const Case c : {Case{Accelerate, 550}, Case{ShipExplode, 250}, Case{Form, 250},
                         Case{PlanetExplosion, 250}}) {
        SCOPED_TRACE(c.id);
        constexpr int kStartMs = 5000;
        for (const int ms : {kStartMs, kStartMs + 16, kStartMs + c.minimumAgeMs - 1}) {
            driveElapsedMilliseconds(ms);
            sound_.play(c.id);
        }
        EXPECT_EQ(sounding(c.id), 1);
        driveElapsedMilliseconds(kStartMs + c.minimumAgeMs);
        sound_.play(c.id);
        EXPECT_EQ(sounding(c.id), 2);
        EXPECT_EQ(sound_.timesPlayed(c.id), 4);
    }
}

TEST_F(LoadedSound, EffectsAndTheWindPlayTogether) {
    sound_.playStream(kWind);
    sound_.play(ShipExplode);
    sound_.play(Form);
    sound_.play(PlanetExplosion);

    EXPECT_EQ(sounding(ShipExplode), 1);
    EXPECT_EQ(sounding(Form), 1);
    EXPECT_EQ(sounding(PlanetExplosion), 1);
    EXPECT_TRUE(sound_.output().isLooping(sound_.stream()));
}

TEST_F(LoadedSound, ANewStreamReleasesThePreviousOne) {
    sound_.playStream(kWind);
    const int first = sound_.stream();
    ASSERT_NE(first, 0);

    sound_.playStream(kWind);

    EXPECT_NE(sound_.stream(), first);
    EXPECT_EQ(sound_.output().loopsOpen(), 1);
    EXPECT_TRUE(sound_.output().isLooping(sound_.stream()));
}

TEST_F(LoadedSound, AMissingStreamLeavesSilenceQuietly) {
    sound_.playStream(kWind);

    testing::internal::CaptureStderr();
    sound_.playStream("./sound/no-such-wind.mp3");
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_EQ(sound_.stream(), 0);
    EXPECT_EQ(sound_.output().loopsOpen(), 0);
    EXPECT_EQ(said, "");
}

TEST(SoundManager, WithoutADeviceEveryEffectPlaysInSilence) {
    const ScopedAudioDriver noDevice(kNoAudioDevice);
    SoundManager sound;

    testing::internal::CaptureStderr();
    sound.load();
    sound.playStream(kWind);
    for (int id = 0; id <= PlanetExplosion + 1; ++id) {
        sound.play(id);
        sound.play(id);
    }
    const std::string said = testing::internal::GetCapturedStderr();

    for (int id = ShipExplode; id <= PlanetExplosion; ++id) {
        EXPECT_EQ(sound.timesPlayed(id), 2) << "effect " << id;
        EXPECT_EQ(sound.output().playbacksSounding(sound.sample(id)), 0);
    }
    EXPECT_EQ(sound.timesPlayed(0), 0);
    EXPECT_EQ(sound.timesPlayed(PlanetExplosion + 1), 0);
    EXPECT_EQ(sound.stream(), 0);
    EXPECT_EQ(said, "vantorel: no audio device, playing in silence\n");
}

TEST(SoundManager, MutedItNeverLooksForADevice) {
    const ScopedAudioDriver noDevice(kNoAudioDevice); // looking would say so on stderr
    SoundManager sound;
    sound.mute();

    testing::internal::CaptureStderr();
    sound.load();
    sound.playStream(kWind);
    sound.play(Form);
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_FALSE(sound.output().isOpen());
    EXPECT_EQ(sound.timesPlayed(Form), 1);
    EXPECT_EQ(said, "");
}
