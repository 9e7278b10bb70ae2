#include "support/corpus_recordings.h"

#include <cstring>

namespace {

// Held on the ship for a second, its spin passes this (it starts at 1).
constexpr float kCatchingSpin = 50.0f;
constexpr float kFewDebris = 3.0f;
// Units a second: faster than a ship creeping into a point held under the pointer.
constexpr float kAtSpeed = 8.0f;
constexpr double kLongStay = 30.0;

bool unfinished(const RecordingTour& t) {
    return t.wins + t.lossesInTheSun + t.lossesOnAPlanet == 0;
}

const std::vector<CorpusRecording> kRecordings = {
    {"won_game.replay", "a win: twelve planets, played by a scripted player through the rules",
     [](const RecordingTour& t) { return t.wins == 1 && t.planetsFormed == 12; }},
    {"lost_in_the_sun.replay", "a loss in the sun",
     [](const RecordingTour& t) { return t.lossesInTheSun == 1 && t.lossesOnAPlanet == 0; }},
    {"lost_on_a_planet.replay", "a loss on a planet: the ship waits on a new planet's orbit",
     [](const RecordingTour& t) { return t.lossesOnAPlanet == 1 && t.lossesInTheSun == 0; }},
    {"planets_meet.replay", "planets wearing each other down where their orbits meet",
     [](const RecordingTour& t) { return t.planetMeetings >= 1; }},
    {"restarted.replay", "a restart after a loss, and the new game left unfinished",
     [](const RecordingTour& t) { return t.restarts == 1 && t.lossesInTheSun == 1; }},
    {"three_games.replay", "three games, each lost in the sun and restarted at once",
     [](const RecordingTour& t) { return t.restarts >= 2 && t.lossesInTheSun >= 3; }},
    {"spinning_captures.replay", "a spinning ship catching debris and towing it about",
     [](const RecordingTour& t) {
         return t.fastestSpin >= kCatchingSpin && t.mostTowed >= kFewDebris;
     }},
    {"towed_through_the_cloud.replay", "debris towed through the cloud at speed into a planet",
     [](const RecordingTour& t) {
         return t.mostTowedIntoAPlanet >= kFewDebris && t.fastestThroughTheCloud >= kAtSpeed;
     }},
    {"planets_then_the_sun.replay", "two planets formed, then a loss in the sun",
     [](const RecordingTour& t) { return t.planetsFormed >= 2 && t.lossesInTheSun == 1; }},
    {"long_stay_on_the_title.replay", "half a minute on the title before play",
     [](const RecordingTour& t) { return t.secondsOnTheTitle >= kLongStay; }},
    {"flight_round_the_sun.replay", "a flight all round the sun, left unfinished",
     [](const RecordingTour& t) { return unfinished(t) && t.planetsFormed == 0; }},
    {"busy_mouse.replay", "quick clicks, right clicks, the wheel and drags all over the field",
     unfinished},
    {"pointer_only.replay",
     "the pointer all over the field and the wheel, but no press: the ship waits",
     [](const RecordingTour& t) {
         return unfinished(t) && t.mostTowed == 0.0f && t.fastestSpin <= 1.0f;
     }},
};

} // namespace

const std::vector<CorpusRecording>& corpusRecordings() {
    return kRecordings;
}

const CorpusRecording* corpusRecording(const char* file) {
    for (const CorpusRecording& recording : kRecordings) {
        if (std::strcmp(recording.file, file) == 0) {
            return &recording;
        }
    }
    return nullptr;
}
