#pragma once

#include "support/recording_tour.h"

#include <vector>

// The corpus of recordings in tests/data/replays: each file, what it is kept
// for, and the test of its tour that says it still reaches that.
struct CorpusRecording {
    const char* file;
    const char* keptFor;
    bool (*reaches)(const RecordingTour&);
};

const std::vector<CorpusRecording>& corpusRecordings();
// The entry for `file`, or null.
const CorpusRecording* corpusRecording(const char* file);
