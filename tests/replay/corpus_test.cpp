// The corpus of recordings made on the real game: each one reaches what it is
// kept for, played through the rules alone, on every processor they build for.
#include "app/version.h"
#include "replay/replay_reader.h"
#include "support/corpus_recordings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

constexpr const char* kCorpus = VANTOREL_CORPUS_DIR;

} // namespace

TEST(ReplayCorpus, EachRecordingReachesWhatItIsKeptFor) {
    for (const CorpusRecording& recording : corpusRecordings()) {
        const ReplayReading reading =
            readReplayFile(std::string(kCorpus) + "/" + recording.file, kProgramVersion);
        ASSERT_EQ(reading.problem, "") << recording.file;
        const RecordingTour tour = tourOf(reading.replay);
        EXPECT_TRUE(tour.endsAsRecorded) << recording.file;
        EXPECT_TRUE(recording.reaches(tour))
            << recording.file << " no longer reaches " << recording.keptFor;
    }
}

TEST(ReplayCorpus, EveryRecordingIsKeptForSomething) {
    for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
        if (entry.path().extension() == ".replay") {
            EXPECT_NE(corpusRecording(entry.path().filename().c_str()), nullptr) << entry.path();
        }
    }
}

// Negative controls: what one recording is kept for does not hold for another
// that plainly lacks it, so a tour that counted wrongly would be seen.
TEST(ReplayCorpus, WhatOneRecordingReachesAnotherDoesNot) {
    const struct {
        const char* keptFor;
        const char* lacking;
    } cases[] = {
        {"lost_in_the_sun.replay", "lost_on_a_planet.replay"},
        {"lost_on_a_planet.replay", "lost_in_the_sun.replay"},
        {"won_game.replay", "planets_then_the_sun.replay"},
        {"planets_meet.replay", "flight_round_the_sun.replay"},
        {"towed_through_the_cloud.replay", "lost_in_the_sun.replay"},
        {"pointer_only.replay", "lost_in_the_sun.replay"},
        {"long_stay_on_the_title.replay", "busy_mouse.replay"},
        {"three_games.replay", "restarted.replay"},
        {"spinning_captures.replay", "lost_in_the_sun.replay"},
    };
    for (const auto& c : cases) {
        const ReplayReading lacking =
            readReplayFile(std::string(kCorpus) + "/" + c.lacking, kProgramVersion);
        ASSERT_EQ(lacking.problem, "") << c.lacking;
        ASSERT_NE(corpusRecording(c.keptFor), nullptr) << c.keptFor;
        EXPECT_FALSE(corpusRecording(c.keptFor)->reaches(tourOf(lacking.replay)))
            << c.lacking << " reaches what " << c.keptFor << " is kept for";
    }
}
