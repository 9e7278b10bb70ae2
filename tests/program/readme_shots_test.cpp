// Plays the real game to take the README's screenshots: the title, a game in
// play with planets formed, and the lose picture. `make screenshots` runs it
// and copies the pictures next to the README.
#include "gas_cloud_finder.h"
#include "play_field.h"
#include "png_file.h"
#include "program_harness.h"
#include "ship_pilot.h"

#include "render/tga_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>

namespace {

using std::chrono::milliseconds;

constexpr int kGamesToTry = 5;
constexpr int kPlanetsToShow = 2;
constexpr int kApproaches = 4;
// The gas cloud stands still while planets orbit: frames this far apart tell them apart.
constexpr int kCloudFrames = 3;
constexpr milliseconds kBetweenCloudFrames{700};
// A cloud this close to the sun or the edge of the field is not worth the risk.
constexpr double kCloudSunClearance = 10.0;
constexpr double kCloudEdgeMargin = 6.0;
// The last stop before the cloud lies this far beside it, across the line to the sun,
// so that the final run in never comes nearer the sun than the cloud is.
constexpr double kRunIn = 12.0;
// The ship stops a unit short of the point pressed, and a planet forms once it
// is within a unit of the cloud's centre: pressing beyond the centre carries it through.
constexpr double kBeyondTheCentre = 1.5;
constexpr milliseconds kLongestApproach{7000};
// Held on a point the ship creeps the last units to it, then spins up.
constexpr milliseconds kSpinUp{2000};
// Planets orbit the sun: these circles about it keep the journeys off their orbits.
constexpr double kRings[] = {14.0, 22.0, 30.0};
constexpr double kMovedCloud = 5.0;
// How many pixels of the counter change clearly when its number does.
constexpr int kClearChange = 48;
constexpr int kLeastChangedPixels = 40;

struct Pictures : ScreenPictures {
    TgaImage lose;
    Pictures() { lose.load(VANTOREL_DATA_DIR "/images/lose.tga", false); }
};

struct Shots {
    RunningGame::Screenshot title;
    RunningGame::Screenshot play;
    RunningGame::Screenshot lose;
};

bool counterChanged(const RunningGame::Screenshot& before, const RunningGame::Screenshot& now) {
    if (before.rgb.size() != now.rgb.size() || now.rgb.empty()) {
        return false;
    }
    int changed = 0;
    for (int y = kCounterTop; y < kCounterBottom; ++y) {
        for (int x = kCounterLeft; x < kCounterRight; ++x) {
            bool clear = false;
            for (int c = 0; c < 3; ++c) {
                clear = clear || std::abs(before.at(x, y)[c] - now.at(x, y)[c]) > kClearChange;
            }
            changed += clear ? 1 : 0;
        }
    }
    return changed >= kLeastChangedPixels;
}

std::optional<WorldPoint> findCloud(const RunningGame& game, const GasCloudFinder& finder) {
    std::vector<RunningGame::Screenshot> frames;
    for (int frame = 0; frame < kCloudFrames; ++frame) {
        if (frame > 0) {
            std::this_thread::sleep_for(kBetweenCloudFrames);
        }
        frames.push_back(game.screenshot());
    }
    return finder.find(frames);
}

bool insideField(const WorldPoint& point, double margin) {
    return point.x >= kFieldLeft + margin && point.x <= kFieldRight - margin &&
           point.y >= kFieldBottom + margin && point.y <= kFieldTop - margin;
}

bool reachable(const WorldPoint& cloud) {
    return insideField(cloud, kCloudEdgeMargin) &&
           distanceBetween(cloud, kSunCentre) >= kCloudSunClearance;
}

// The last stop before the cloud: beside it, on whichever side leaves more room.
WorldPoint runInStart(const WorldPoint& cloud) {
    const double distance = distanceBetween(cloud, kSunCentre);
    const double alongX = -(cloud.y - kSunCentre.y) / distance;
    const double alongY = (cloud.x - kSunCentre.x) / distance;
    const WorldPoint one{cloud.x + kRunIn * alongX, cloud.y + kRunIn * alongY};
    const WorldPoint other{cloud.x - kRunIn * alongX, cloud.y - kRunIn * alongY};
    const auto room = [](const WorldPoint& p) {
        return std::min({p.x - kFieldLeft, kFieldRight - p.x, p.y - kFieldBottom, kFieldTop - p.y});
    };
    return room(one) >= room(other) ? one : other;
}

WorldPoint beyond(const WorldPoint& from, const WorldPoint& through, double by) {
    const double length = distanceBetween(from, through);
    return WorldPoint{through.x + by * (through.x - from.x) / length,
                      through.y + by * (through.y - from.y) / length};
}

// The circle about the sun farthest from every orbit so far.
double ringClearOf(const std::vector<double>& orbits) {
    double best = kRings[0];
    double bestGap = -1.0;
    for (const double ring : kRings) {
        double gap = 1e9;
        for (const double orbit : orbits) {
            gap = std::min(gap, std::fabs(ring - orbit));
        }
        if (gap > bestGap) {
            bestGap = gap;
            best = ring;
        }
    }
    return best;
}

// One game from its title to its lose picture, forming planets on the way.
// False when the cloud lay out of reach or the ship was lost too early.
bool playForPictures(const Pictures& pictures, const GasCloudFinder& finder, Shots& shots) {
    RunningGame game;
    if (!game.hasWindow()) {
        return false;
    }
    shots.title = waitForTitle(game, pictures);
    pressToInstructions(game, pictures);
    pressToPlay(game, pictures); // the ship waits at its start

    ShipPilot pilot(game, pictures.lose);
    const auto never = [](const RunningGame::Screenshot&) { return false; };
    if (!pilot.holdOn(kShipStartPoint, kSpinUp, never)) { // spun up, it gathers debris
        return false;
    }
    // A new planet orbits where its cloud was, at the speed of its size, and
    // destroys a ship on its orbit once formed: the ship leaves that orbit at
    // once for a circle clear of every orbit, and spins up again there.
    std::vector<double> orbits;
    std::optional<WorldPoint> cloud = findCloud(game, finder);
    for (int approach = 0; static_cast<int>(orbits.size()) < kPlanetsToShow; ++approach) {
        if (!cloud || !reachable(*cloud) || approach >= kApproaches) {
            return false;
        }
        if (!pilot.flyTo(runInStart(*cloud), ringClearOf(orbits))) {
            return false;
        }
        const RunningGame::Screenshot before = game.screenshot();
        const auto counted = [&](const RunningGame::Screenshot& shot) {
            return counterChanged(before, shot);
        };
        if (!pilot.holdOn(beyond(pilot.ship(), *cloud, kBeyondTheCentre), kLongestApproach,
                          counted)) {
            return false;
        }
        std::vector<double> orbitsAfter = orbits;
        orbitsAfter.push_back(distanceBetween(*cloud, kSunCentre));
        const double ring = ringClearOf(orbitsAfter);
        const WorldPoint away = ringPointBeside(pilot.ship(), ring);
        if (!pilot.flyTo(away, ring) || !pilot.holdOn(away, kSpinUp, never)) {
            return false;
        }
        const std::optional<WorldPoint> next = findCloud(game, finder);
        if (next && distanceBetween(*next, *cloud) > kMovedCloud) {
            orbits = orbitsAfter;
        }
        cloud = next;
    }
    // By now the last planet has shown its formation picture for its 2 s and
    // looks like the others.
    shots.play = game.screenshot();
    if (showsEndPicture(shots.play, pictures.lose)) {
        return false;
    }

    game.hold(windowX(kSunCentre.x), windowY(kSunCentre.y)); // into the sun
    shots.lose = screenshotWhen(game, [&](const RunningGame::Screenshot& shot) {
        return showsEndPicture(shot, pictures.lose);
    });
    return showsEndPicture(shots.lose, pictures.lose);
}

} // namespace

TEST(ReadmeScreenshots, TitleAGameWithPlanetsAndTheLosePicture) {
    const Pictures pictures;
    ASSERT_TRUE(pictures.loaded());
    ASSERT_EQ(pictures.lose.bitsPerPixel(), 32);
    const GasCloudFinder finder(pictures.backdrop);

    Shots shots;
    bool played = false;
    for (int game = 0; game < kGamesToTry && !played; ++game) {
        played = playForPictures(pictures, finder, shots);
    }
    ASSERT_TRUE(played) << "no game in " << kGamesToTry << " reached " << kPlanetsToShow
                        << " planets and the lose picture";
    EXPECT_GE(shareMatching(shots.title, pictures.title), kWholePicture);
    EXPECT_TRUE(showsEndPicture(shots.lose, pictures.lose));

    const std::filesystem::path folder = VANTOREL_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(savePng(shots.title, folder / "title.png"));
    EXPECT_TRUE(savePng(shots.play, folder / "play.png"));
    EXPECT_TRUE(savePng(shots.lose, folder / "lose.png"));
}
