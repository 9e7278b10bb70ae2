#include "play_field.h"
#include "program_harness.h"
#include "sound_server.h"

#include "render/tga_image.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

// What a player hears: the real game played through a sound server of the
// test's own, whose output is recorded and measured.
namespace {

using std::chrono::milliseconds;

constexpr double kAboutTheSameDb = 3.0;
constexpr double kEffectLevelToleranceDb = 6.0;
// The explosion's first 10 ms stand out from the wind by far more than its gusts.
constexpr double kExplosionAboveWindDb = 10.0;
constexpr double kFallBackGraceSeconds = 0.5;
// A limited peak's top reaches the ceiling only for a sample or, on a slow
// wave, the two beside it; a peak clamped flat sits there far longer.
constexpr int kLongestRunOfAPeak = 3;
// The recording pushed this much past the ceiling and clamped flat fails that.
constexpr double kPushedHarderDb = 6.0;
constexpr auto kWhirOverTheExplosion = milliseconds(1500);
constexpr auto kBetweenQuickClicks = milliseconds(30);
constexpr int kLoudestMoments = 3;
constexpr double kEndPictureShown = 0.9; // share of the lose picture on screen
constexpr double kWindWindowSeconds = 1.0;
constexpr auto kWindGustCycle = milliseconds(3400);
constexpr auto kSpinUpHold = milliseconds(3000);
constexpr auto kSoundSettles = milliseconds(500); // the stream starting, the last whir fading
constexpr double kSkipWhileTheWhirStarts = 0.3;
constexpr auto kServerAway = milliseconds(2000);
// Once its sound server is back, the game is heard again within this.
constexpr double kBackWithinSeconds = 2.0;
// Its quietest 10 ms are still far above silence.
constexpr double kWindHeardBelowItsLevelDb = 15.0;

const char* const kWind = VANTOREL_DATA_DIR "/sound/hollowwind.mp3";
const char* const kWhir = VANTOREL_DATA_DIR "/sound/accelerate.mp3";
const char* const kExplosion = VANTOREL_DATA_DIR "/sound/shipexplode.mp3";

class HeardGame : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.isRunning()) << server_.log();
        ASSERT_TRUE(game_.hasWindow());
        ASSERT_TRUE(pictures_.loaded());
        waitForTitle(game_, pictures_);
        std::this_thread::sleep_for(kSoundSettles);
    }

    void startPlaying() {
        reachPlay(game_, pictures_); // the ship waits at its start
        std::this_thread::sleep_for(kSoundSettles);
    }

    SoundServer server_; // first: the game sends its sound there
    RunningGame game_;
    ScreenPictures pictures_;
};

} // namespace

TEST_F(HeardGame, TheWindBlowsOnTheTitleAtItsOwnLevel) {
    const double windDb = decodeSoundFile(kWind).levelDb();
    server_.startRecording();
    std::this_thread::sleep_for(kWindGustCycle);
    const HeardSound heard = server_.stopRecording();

    EXPECT_NEAR(heard.levelDb(), windDb, kAboutTheSameDb);
    EXPECT_EQ(heard.fullScaleSamples(), 0);
}

// The whir is asked for on every frame the button is held on the ship.
TEST_F(HeardGame, SpinningUpIsOneWhirBelowFullScale) {
    const double whirDb = decodeSoundFile(kWhir).levelDb();
    startPlaying();
    server_.startRecording();
    game_.press(windowX(kShipStartPoint.x), windowY(kShipStartPoint.y));
    std::this_thread::sleep_for(kSpinUpHold);
    const HeardSound heard = server_.stopRecording();
    game_.release();

    EXPECT_EQ(heard.fullScaleSamples(), 0);
    EXPECT_NEAR(heard.levelDb(kSkipWhileTheWhirStarts), whirDb, kEffectLevelToleranceDb);
}

// The wreck stays in the sun, touching it on every frame.
TEST_F(HeardGame, ADeathInTheSunExplodesOnceBelowFullScale) {
    const double windDb = decodeSoundFile(kWind).levelDb();
    const HeardSound explosion = decodeSoundFile(kExplosion);
    const double backToWind = explosion.seconds() + kFallBackGraceSeconds;
    startPlaying();
    server_.startRecording();
    game_.click(windowX(kSunCentre.x), windowY(kSunCentre.y));
    std::this_thread::sleep_for(
        milliseconds(static_cast<int>(1000 * (backToWind + kWindWindowSeconds + 1.0))));
    const HeardSound heard = server_.stopRecording();

    const double bang = heard.firstRiseAbove(windDb + kExplosionAboveWindDb);
    ASSERT_GE(bang, 0.0) << "no explosion heard";
    ASSERT_GE(heard.seconds(), bang + backToWind + kWindWindowSeconds);
    EXPECT_EQ(heard.fullScaleSamples(), 0);
    EXPECT_NEAR(heard.levelDb(bang, bang + explosion.seconds()), explosion.levelDb(),
                kEffectLevelToleranceDb);
    EXPECT_NEAR(heard.levelDb(bang + backToWind, bang + backToWind + kWindWindowSeconds), windDb,
                kAboutTheSameDb)
        << "the explosion should have ended " << backToWind << " s after it began";
}

// The loudest moment a player meets: the ship explodes in the sun, and as soon
// as the end picture takes a click a new ship is spun up, its whir over the
// explosion and the wind. The pile-up passes the limiter's ceiling, and its
// peaks keep their shape under it; the same recording clamped flat is the
// check's negative control. Quick clicks land when they land, so the moment is
// played a few times over.
TEST_F(HeardGame, AWhirOverAnExplosionKeepsItsPeaksUnderTheCeiling) {
    TgaImage lose;
    ASSERT_TRUE(lose.load(VANTOREL_DATA_DIR "/images/lose.tga", false));
    startPlaying();
    server_.startRecording();
    for (int death = 0; death < kLoudestMoments; ++death) {
        game_.click(windowX(kSunCentre.x), windowY(kSunCentre.y));
        screenshotWhen(game_, [&](const RunningGame::Screenshot& shot) {
            return shareOfEndPicture(shot, lose) > kEndPictureShown;
        });
        // Quick clicks where the new ship will wait: the first after the end
        // picture's half second plays again, the next whirs the new ship up
        // while the explosion still booms.
        const auto clicksEnd = std::chrono::steady_clock::now() + kWhirOverTheExplosion;
        while (std::chrono::steady_clock::now() < clicksEnd) {
            game_.click(windowX(kShipStartPoint.x), windowY(kShipStartPoint.y));
            std::this_thread::sleep_for(kBetweenQuickClicks);
        }
    }
    const HeardSound heard = server_.stopRecording();

    EXPECT_EQ(heard.fullScaleSamples(), 0);
    EXPECT_GE(heard.longestRunAtCeiling(), 1) << "nothing reached the limiter's ceiling";
    EXPECT_LE(heard.longestRunAtCeiling(), kLongestRunOfAPeak);
    EXPECT_GT(heard.longestRunOnceClampedFlat(kPushedHarderDb), kLongestRunOfAPeak)
        << "the check must catch peaks clamped flat";
}

// A sound server that goes away mid-game and comes back, as a desktop's does
// when it restarts or a headset is switched: the game plays on in silence
// meanwhile, and the wind returns without a restart. The recording starts as
// soon as the server answers again.
TEST_F(HeardGame, TheWindComesBackWhenTheSoundServerDoes) {
    const double windDb = decodeSoundFile(kWind).levelDb();
    const double gustCycleSeconds = kWindGustCycle.count() / 1000.0;
    startPlaying();
    server_.startRecording();
    std::this_thread::sleep_for(kWindGustCycle);
    const HeardSound before = server_.stopRecording();

    server_.stop();
    const RunningGame::Screenshot awayFrom = game_.screenshot();
    std::this_thread::sleep_for(kServerAway);
    EXPECT_NE(game_.screenshot().rgb, awayFrom.rgb) << "the field stood still without sound";
    ASSERT_TRUE(server_.start()) << server_.log();
    server_.startRecording();
    std::this_thread::sleep_for(milliseconds(static_cast<int>(1000 * kBackWithinSeconds)) +
                                kWindGustCycle);
    const HeardSound after = server_.stopRecording();

    EXPECT_NEAR(before.levelDb(), windDb, kAboutTheSameDb);
    const double back = after.firstRiseAbove(windDb - kWindHeardBelowItsLevelDb);
    ASSERT_GE(back, 0.0) << "nothing heard since the server came back";
    EXPECT_LE(back, kBackWithinSeconds);
    EXPECT_NEAR(after.levelDb(back, back + gustCycleSeconds), windDb, kAboutTheSameDb)
        << "what came back is the wind, looping at its level";
}
