#include "app/replay_recorder.h"

#include "app/version.h"
#include "replay/replay_reader.h"
#include "world/world.h"
#include "world/world_digest.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr unsigned kSeed = 424242;
constexpr int kStartMs = 5000;

std::string contentsOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class ReplayRecorderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(recorder_.prepare(path_), ""); }
    void TearDown() override { std::remove(path_.c_str()); }

    // What a replay would read from the file now, while the game may still run.
    ReplayReading onDisk() const { return readReplayFile(path_, kProgramVersion); }
    std::string bytesOnDisk() const { return contentsOf(path_); }

    const std::string path_ = ::testing::TempDir() + "recorder_test.replay";
    ReplayRecorder recorder_;
};

} // namespace

TEST_F(ReplayRecorderTest, WritesWhatTheReaderReadsBackWithOnlyTheMovesThatMatter) {
    const World world;
    recorder_.start(kSeed, kStartMs);
    recorder_.recordPointer(10.0f, 10.0f);
    recorder_.recordPointer(12.5f, 20.0f); // only the last move before a frame counts
    recorder_.recordFrame(kStartMs + 17);
    recorder_.afterFrame(world);           // not a whole second yet: no checkpoint
    recorder_.recordPointer(12.5f, 20.0f); // unchanged: nothing to write
    recorder_.recordFrame(kStartMs + 33);
    recorder_.recordFrame(kStartMs + 33);  // two frames in one millisecond
    recorder_.recordPointer(-3.0f, 40.0f); // the button carries it
    recorder_.recordButton(0, 0, -3.0f, 40.0f);
    recorder_.recordFrame(kStartMs + 2500); // a long stay on the title
    recorder_.afterFrame(world);            // the second it reached, once
    recorder_.afterFrame(world);
    recorder_.recordPointer(49.0f, 74.0f); // after the last frame
    recorder_.finish(77);
    EXPECT_FALSE(recorder_.recording());

    const ReplayReading reading = onDisk();
    ASSERT_EQ(reading.problem, "");
    EXPECT_EQ(reading.notice, "");
    const Replay& replay = reading.replay;
    EXPECT_EQ(replay.seed, kSeed);
    EXPECT_EQ(replay.startMs, kStartMs);
    EXPECT_EQ(replay.finalDigest, 77u);
    using Kind = ReplayStep::Kind;
    const struct {
        Kind kind;
        float x, y;
        int clockMs;
    } expected[] = {
        {Kind::Pointer, 12.5f, 20.0f, 0},   {Kind::Frame, 0, 0, kStartMs + 17},
        {Kind::Frame, 0, 0, kStartMs + 33}, {Kind::Frame, 0, 0, kStartMs + 33},
        {Kind::Button, -3.0f, 40.0f, 0},    {Kind::Frame, 0, 0, kStartMs + 2500},
        {Kind::Pointer, 49.0f, 74.0f, 0},
    };
    ASSERT_EQ(replay.steps.size(), std::size(expected));
    std::size_t i = 0;
    for (const ReplayStep& step : replay.steps) {
        EXPECT_EQ(step.kind, expected[i].kind) << "step " << i;
        EXPECT_EQ(step.x, expected[i].x) << "step " << i;
        EXPECT_EQ(step.y, expected[i].y) << "step " << i;
        EXPECT_EQ(step.clockMs, expected[i].clockMs) << "step " << i;
        ++i;
    }
    ASSERT_EQ(replay.checkpoints.size(), 1u);
    EXPECT_EQ(replay.checkpoints[0].frame, 4);
    EXPECT_EQ(replay.checkpoints[0].second, 2);
    EXPECT_EQ(replay.checkpoints[0].digest, worldDigest(world));
}

// A game killed at any moment has on disk all but its last second at most.
TEST_F(ReplayRecorderTest, FlushesAtLeastOnceASecondOfTheGameClock) {
    recorder_.start(kSeed, kStartMs);
    for (int ms = kStartMs + 100; ms < kStartMs + 1000; ms += 100) {
        recorder_.recordFrame(ms);
    }
    EXPECT_EQ(onDisk().problem, "it holds no frame") << "nothing but the header yet";
    recorder_.recordFrame(kStartMs + 1000);
    const ReplayReading killedNow = onDisk();
    EXPECT_EQ(killedNow.problem, "");
    EXPECT_EQ(killedNow.replay.frames, 10);
    EXPECT_NE(killedNow.notice, "") << "a recording without its end is cut short";
}

// The readings wrap after 24.8 days like any 32-bit count: the step across the
// wrap is the time that passed.
TEST_F(ReplayRecorderTest, WritesTheClockStepAcrossItsWrap) {
    recorder_.start(kSeed, INT_MAX - 10);
    recorder_.recordFrame(INT_MIN + 5);
    recorder_.finish(0);
    const std::string bytes = bytesOnDisk();
    constexpr std::size_t kEndLength = 9;
    EXPECT_EQ(bytes.substr(bytes.size() - kEndLength - 2, 2),
              std::string("F") + static_cast<char>(2 * 16)); // zigzag: 16 is 32
}

// A replay reads at most so many bytes: the recording stops short of them,
// with room for its frames up to there, and plays up to its last whole frame.
TEST(ReplayRecorder, StopsBeforeItGrowsLongerThanAReplayCanBe) {
    constexpr std::size_t kLongest = 200;
    const std::string path = ::testing::TempDir() + "longest.replay";
    ReplayRecorder recorder(kLongest);
    ASSERT_EQ(recorder.prepare(path), "");
    recorder.start(kSeed, kStartMs);
    int frames = 0;
    for (int ms = kStartMs; recorder.recording(); ms += 16) {
        recorder.recordPointer(static_cast<float>(frames % 7), 1.0f);
        recorder.recordFrame(ms);
        ++frames;
    }
    recorder.finish(1);
    const std::string bytes = contentsOf(path);
    EXPECT_LE(bytes.size(), kLongest);
    EXPECT_GT(bytes.size(), kLongest - 20) << "it stopped well short";
    const ReplayReading reading = readReplayFile(path, kProgramVersion);
    EXPECT_EQ(reading.problem, "");
    EXPECT_NE(reading.notice, "") << "cut short, without its end";
    EXPECT_GE(reading.replay.frames, frames - 2);
    std::remove(path.c_str());
}
