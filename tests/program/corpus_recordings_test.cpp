// Makes the corpus of recordings in tests/data/replays on the real game, driven
// with the mouse as a player drives it: one test a recording. A game that does
// not reach what its recording is kept for (played back through the rules) is
// given up for a fresh one. `make replay-corpus` runs it and keeps the files.
#include "planet_former.h"
#include "program_harness.h"

#include "app/version.h"
#include "replay/replay_reader.h"
#include "support/corpus_recordings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr int kGamesToTry = 6;
constexpr int kApproaches = 5;
constexpr int kMostPlanetsToMeet = 6;
// A planet orbits once in 12 s at the slowest; a ship on its orbit is met within that.
constexpr milliseconds kLongestOrbit{15000};
constexpr milliseconds kWatchPlanetsMeet{12000};
constexpr milliseconds kAWhile{1500};
// The end picture stands a moment before a click restarts.
constexpr milliseconds kEndPictureStands{1000};
constexpr seconds kLongStay{32};
// Well above the sun, where a quick click never sends the ship across it.
constexpr double kAboveTheSun = 18.0;
constexpr double kRoundTheSun = 20.0;
constexpr int kRightButton = 3;
constexpr int kWheelUp = 4;
constexpr int kWheelDown = 5;

// What a scenario plays with: the game, a pilot for its ship, planets to form,
// and the recording as it is written, to be played back while it goes on.
struct Play {
    const RunningGame& game;
    const GamePictures& pictures;
    ShipPilot& pilot;
    PlanetFormer& former;
    std::string recording;
};

using Scenario = std::function<bool(Play&)>;

std::string outputPath(const char* file) {
    std::filesystem::create_directories(VANTOREL_CORPUS_OUT);
    return std::string(VANTOREL_CORPUS_OUT "/") + file;
}

// What the recording reaches so far: a file still being written plays up to
// its last whole frame.
RecordingTour tourSoFar(const std::string& recording) {
    const ReplayReading reading = readReplayFile(recording, kProgramVersion);
    return reading.problem.empty() ? tourOf(reading.replay) : RecordingTour{};
}

bool lost(const Play& play, milliseconds longest = kLongestWait) {
    const auto showsLoss = [&](const RunningGame::Screenshot& shot) {
        return showsEndPicture(shot, play.pictures.lose);
    };
    return showsLoss(screenshotWhen(play.game, showsLoss, longest));
}

void clickAt(const RunningGame& game, const WorldPoint& point, int button = 1) {
    game.click(windowX(point.x), windowY(point.y), button);
}

bool intoTheSun(const Play& play) {
    play.game.hold(windowX(kSunCentre.x), windowY(kSunCentre.y));
    return lost(play);
}

bool restartAfterTheEndPicture(const Play& play) {
    std::this_thread::sleep_for(kEndPictureStands);
    clickAt(play.game, kShipStartPoint);
    return waitUntil([&] { return !showsEndPicture(play.game.screenshot(), play.pictures.lose); });
}

bool formPlanets(Play& play, int planets) {
    for (int approach = 0; static_cast<int>(play.former.orbits().size()) < planets; ++approach) {
        if (approach >= kApproaches ||
            play.former.formPlanet(PlanetFormer::Afterwards::LeaveTheOrbit) ==
                PlanetFormer::Approach::Lost) {
            return false;
        }
    }
    return true;
}

// One game recorded from its title; true when the scenario played through and
// the window closed on it.
bool recordOnce(const GamePictures& pictures, const GasCloudFinder& finder, const std::string& file,
                bool fromTheTitle, const Scenario& scenario) {
    std::filesystem::remove(file);
    RunningGame::Options options;
    options.arguments = {"--record", file, "--no-records", "--mute"};
    RunningGame game(options);
    if (!game.hasWindow()) {
        return false;
    }
    if (!fromTheTitle) {
        reachPlay(game, pictures);
    }
    ShipPilot pilot(game, pictures.lose);
    PlanetFormer former(game, pilot, finder);
    Play play{game, pictures, pilot, former, file};
    const bool played = scenario(play);
    game.close();
    return waitUntil([&] { return !game.stillRunning(); }) && played;
}

// Records games until one reaches what the corpus keeps `name` for.
void record(const char* name, bool fromTheTitle, const Scenario& scenario) {
    const CorpusRecording* kept = corpusRecording(name);
    ASSERT_NE(kept, nullptr) << name;
    const GamePictures pictures;
    ASSERT_TRUE(pictures.loaded());
    const GasCloudFinder finder(pictures.backdrop);
    const std::string file = outputPath(name);
    for (int game = 0; game < kGamesToTry; ++game) {
        if (recordOnce(pictures, finder, file, fromTheTitle, scenario)) {
            const RecordingTour tour = tourSoFar(file);
            if (tour.endsAsRecorded && kept->reaches(tour)) {
                return;
            }
            std::fprintf(stderr,
                         "%s, game %d: %d planets (%.0f debris towed into one, at %.1f units/s), "
                         "%d lost in the sun, %d on a planet, %d meetings, spin %.0f\n",
                         name, game + 1, tour.planetsFormed, tour.mostTowedIntoAPlanet,
                         tour.fastestThroughTheCloud, tour.lossesInTheSun, tour.lossesOnAPlanet,
                         tour.planetMeetings, tour.fastestSpin);
        }
    }
    FAIL() << "no game in " << kGamesToTry << " reached " << kept->keptFor;
}

} // namespace

TEST(CorpusRecordings, LostInTheSun) {
    record("lost_in_the_sun.replay", false, [](Play& play) {
        std::this_thread::sleep_for(kAWhile);
        return intoTheSun(play);
    });
}

TEST(CorpusRecordings, LostOnAPlanet) {
    record("lost_on_a_planet.replay", false, [](Play& play) {
        for (int approach = 0; approach < kApproaches; ++approach) {
            if (play.former.formPlanet(PlanetFormer::Afterwards::StayOnIt) !=
                PlanetFormer::Approach::Missed) {
                break;
            }
        }
        return lost(play, kLongestOrbit);
    });
}

TEST(CorpusRecordings, PlanetsMeet) {
    record("planets_meet.replay", false, [](Play& play) {
        if (!play.former.spinUp()) {
            return false;
        }
        for (int planets = 1; planets <= kMostPlanetsToMeet; ++planets) {
            if (!formPlanets(play, planets)) {
                return false;
            }
            if (waitUntil([&] { return tourSoFar(play.recording).planetMeetings > 0; },
                          kWatchPlanetsMeet)) {
                return true;
            }
        }
        return false;
    });
}

TEST(CorpusRecordings, Restarted) {
    record("restarted.replay", false, [](Play& play) {
        if (!intoTheSun(play) || !restartAfterTheEndPicture(play)) {
            return false;
        }
        return play.pilot.flyTo(WorldPoint{kSunCentre.x - kRoundTheSun, kSunCentre.y},
                                kRoundTheSun);
    });
}

TEST(CorpusRecordings, ThreeGames) {
    record("three_games.replay", false, [](Play& play) {
        for (int game = 0; game < 3; ++game) {
            if (!intoTheSun(play) || (game < 2 && !restartAfterTheEndPicture(play))) {
                return false;
            }
        }
        return true;
    });
}

TEST(CorpusRecordings, SpinningCaptures) {
    record("spinning_captures.replay", false, [](Play& play) {
        return play.former.spinUp() &&
               play.pilot.flyTo(WorldPoint{kSunCentre.x + kRoundTheSun, kSunCentre.y},
                                kRoundTheSun) &&
               play.pilot.flyTo(kShipStartPoint, kRoundTheSun);
    });
}

TEST(CorpusRecordings, TowedThroughTheCloud) {
    record("towed_through_the_cloud.replay", false,
           [](Play& play) { return play.former.spinUp() && formPlanets(play, 1); });
}

TEST(CorpusRecordings, PlanetsThenTheSun) {
    record("planets_then_the_sun.replay", false, [](Play& play) {
        return play.former.spinUp() && formPlanets(play, 2) && intoTheSun(play);
    });
}

TEST(CorpusRecordings, LongStayOnTheTitle) {
    record("long_stay_on_the_title.replay", true, [](Play& play) {
        waitForTitle(play.game, play.pictures);
        std::this_thread::sleep_for(kLongStay);
        pressToInstructions(play.game, play.pictures);
        pressToPlay(play.game, play.pictures);
        clickAt(play.game, WorldPoint{kShipStartPoint.x + 10.0, kShipStartPoint.y});
        std::this_thread::sleep_for(kAWhile);
        return true;
    });
}

TEST(CorpusRecordings, FlightRoundTheSun) {
    record("flight_round_the_sun.replay", false, [](Play& play) {
        const WorldPoint round[] = {{kSunCentre.x + kRoundTheSun, kSunCentre.y},
                                    {kSunCentre.x, kSunCentre.y - kRoundTheSun + 5.0},
                                    {kSunCentre.x - kRoundTheSun, kSunCentre.y},
                                    kShipStartPoint};
        for (const WorldPoint& point : round) {
            if (!play.pilot.flyTo(point, kRoundTheSun)) {
                return false;
            }
        }
        return true;
    });
}

TEST(CorpusRecordings, BusyMouse) {
    record("busy_mouse.replay", false, [](Play& play) {
        const double top = kSunCentre.y + kAboveTheSun;
        const WorldPoint points[] = {{-30.0, top + 5.0}, {25.0, top},       {0.0, top + 12.0},
                                     {-10.0, top + 2.0}, {35.0, top + 8.0}, {5.0, top + 4.0}};
        const int buttons[] = {1, kRightButton, kWheelUp, 1, kWheelDown, 1};
        for (int round = 0; round < 3; ++round) {
            for (std::size_t i = 0; i < std::size(points); ++i) {
                clickAt(play.game, points[i], buttons[(i + round) % std::size(buttons)]);
            }
        }
        // A drag: pressed at one point, moved, let go at another.
        play.game.press(windowX(-20.0), windowY(top + 6.0));
        play.game.moveMouse(windowX(0.0), windowY(top + 10.0));
        play.game.moveMouse(windowX(20.0), windowY(top + 6.0));
        play.game.release();
        std::this_thread::sleep_for(kAWhile);
        return true;
    });
}

TEST(CorpusRecordings, PointerOnly) {
    record("pointer_only.replay", false, [](Play& play) {
        for (double y = kFieldBottom + 5.0; y < kFieldTop; y += 10.0) {
            for (double x = kFieldLeft + 5.0; x < kFieldRight; x += 10.0) {
                play.game.moveMouse(windowX(x), windowY(y));
            }
            clickAt(play.game, WorldPoint{0.0, y}, y < kSunCentre.y ? kWheelUp : kWheelDown);
        }
        std::this_thread::sleep_for(kAWhile);
        return true;
    });
}
