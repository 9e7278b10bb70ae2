#include "play_field.h"
#include "program_harness.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace {

constexpr int kGamesToTry = 6;

// Window pixels, y down, right and bottom excluded.
struct Strip {
    int left;
    int top;
    int right;
    int bottom;
};

// "Planets Formed: 0": its baseline starts at world (13, 67), window pixel
// (645, 82 from the top); an em is 3.84 world units, about 39 pixels, and no
// letter of it reaches below the baseline.
constexpr Strip kCounter{kCounterLeft, kCounterTop, kCounterRight, kCounterBottom};
// Just above and below it, and as large on the left of the field: plain backdrop.
constexpr int kBesideCounter = 16;
constexpr Strip kAboveCounter{kCounterLeft, kCounterTop - kBesideCounter, kCounterRight,
                              kCounterTop};
constexpr Strip kBelowCounter{kCounterLeft, kCounterBottom, kCounterRight,
                              kCounterBottom + kBesideCounter};
constexpr Strip kBlank{24, kCounterTop, 24 + kCounterRight - kCounterLeft, kCounterBottom};

// Within this of the backdrop a pixel shows the backdrop alone; texture
// filtering and the window's colour depth account for a few levels.
constexpr int kSameTolerance = 12;
// A pixel this much lighter than the backdrop in every channel has something on it.
constexpr int kLighterBy = 24;

// How a strip of the screenshot compares with the backdrop alone.
struct Comparison {
    int pixels = 0;
    int same = 0;      // every channel within kSameTolerance of the backdrop
    int lighter = 0;   // every channel at least kLighterBy above it
    int halfWhite = 0; // lighter, and every channel near half way from the backdrop to white
    int overHalf = 0;  // every channel clearly beyond half way to white

    bool plain() const { return same >= pixels * 99 / 100; }
};

Comparison compare(const RunningGame::Screenshot& shot, const StretchedPicture& backdrop,
                   const Strip& strip) {
    Comparison result;
    for (int y = strip.top; y < strip.bottom; ++y) {
        for (int x = strip.left; x < strip.right; ++x) {
            const std::array<int, 3> expected = backdrop.at(x, y, shot.width, shot.height);
            const std::uint8_t* seen = shot.at(x, y);
            bool same = true;
            bool lighter = true;
            bool halfWhite = true;
            bool overHalf = true;
            for (std::size_t c = 0; c < 3; ++c) {
                const int difference = seen[c] - expected[c];
                const int halfWay = (255 + expected[c]) / 2;
                same = same && std::abs(difference) <= kSameTolerance;
                lighter = lighter && difference >= kLighterBy;
                halfWhite = halfWhite && std::abs(seen[c] - halfWay) <= kSameTolerance;
                overHalf = overHalf && seen[c] > halfWay + 2 * kSameTolerance;
            }
            ++result.pixels;
            result.same += same;
            result.lighter += lighter;
            result.halfWhite += lighter && halfWhite;
            result.overHalf += overHalf;
        }
    }
    return result;
}

// The counter's surroundings show the backdrop alone: play has begun and no
// body (the gas cloud is placed at random) lies over the strips compared.
bool plainAroundTheCounter(const RunningGame::Screenshot& shot, const StretchedPicture& backdrop) {
    for (const Strip& strip : {kAboveCounter, kBelowCounter, kBlank}) {
        if (!compare(shot, backdrop, strip).plain()) {
            return false;
        }
    }
    return true;
}

// The first play frame whose counter surroundings show the backdrop alone, or
// the last one seen when a body stays over them.
RunningGame::Screenshot playScreen(const RunningGame& game, const ScreenPictures& pictures) {
    reachPlay(game, pictures);
    return screenshotWhen(game, [&](const RunningGame::Screenshot& shot) {
        return plainAroundTheCounter(shot, pictures.backdrop);
    });
}

} // namespace

TEST(HudOnScreen, PlayScreenShowsTheCounterHalfWhiteOverTheBackdrop) {
    const ScreenPictures pictures;
    ASSERT_TRUE(pictures.loaded());
    const StretchedPicture& backdrop = pictures.backdrop;

    RunningGame::Screenshot shot;
    bool clear = false;
    for (int attempt = 0; attempt < kGamesToTry && !clear; ++attempt) {
        RunningGame game;
        ASSERT_TRUE(game.hasWindow());
        shot = playScreen(game, pictures);
        ASSERT_EQ(shot.width, kWindowWidth);
        ASSERT_EQ(shot.height, kWindowHeight);
        EXPECT_TRUE(game.stillRunning());
        clear = plainAroundTheCounter(shot, pictures.backdrop);
    }
    ASSERT_TRUE(clear) << "the counter's surroundings never showed the backdrop alone";

    const Comparison blank = compare(shot, backdrop, kBlank);
    const Comparison counter = compare(shot, backdrop, kCounter);
    EXPECT_GE(counter.lighter, 300) << "no counter over the backdrop";
    EXPECT_GT(counter.lighter, 10 * blank.lighter + 10);
    EXPECT_GE(counter.halfWhite, 50) << "full-coverage text should be half way to white";
    EXPECT_LE(counter.overHalf, blank.overHalf + 10) << "text drawn more opaque than half";
}
