#include "replay/replay_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kVersion = "9.8.7";
constexpr unsigned kSeed = 0xC0FFEE;
constexpr std::uint64_t kDigest = 0x0123456789ABCDEFULL;

// Writes replay files by hand, apart from the game's own recorder, so that the
// format is checked from both sides.
class ReplayBytes {
public:
    ReplayBytes& header(int format = 1, const std::string& version = kVersion,
                        std::int32_t startMs = 1000) {
        text("VANTOREL REPLAY\n");
        bytes.push_back(static_cast<std::uint8_t>(format));
        bytes.push_back(static_cast<std::uint8_t>(version.size()));
        text(version);
        number(kSeed, 4);
        number(static_cast<std::uint32_t>(startMs), 4);
        return *this;
    }
    ReplayBytes& pointer(float x, float y) {
        bytes.push_back('P');
        return point(x, y);
    }
    ReplayBytes& button(int button, int state, float x, float y) {
        bytes.push_back('B');
        bytes.push_back(static_cast<std::uint8_t>(button));
        bytes.push_back(static_cast<std::uint8_t>(state));
        return point(x, y);
    }
    ReplayBytes& frame(std::int64_t step) {
        bytes.push_back('F');
        std::uint64_t zigzag = step < 0 ? (static_cast<std::uint64_t>(-step) << 1) - 1
                                        : static_cast<std::uint64_t>(step) << 1;
        for (; zigzag >= 0x80; zigzag >>= 7) {
            bytes.push_back(static_cast<std::uint8_t>(zigzag | 0x80));
        }
        bytes.push_back(static_cast<std::uint8_t>(zigzag));
        return *this;
    }
    ReplayBytes& checkpoint(int second, std::uint64_t digest = kDigest) {
        bytes.push_back('C');
        bytes.push_back(static_cast<std::uint8_t>(second)); // a varint below 128
        return number(digest, 8);
    }
    ReplayBytes& end(std::uint64_t digest = kDigest) {
        bytes.push_back('E');
        number(digest, 8);
        return *this;
    }
    ReplayBytes& text(const std::string& characters) {
        bytes.insert(bytes.end(), characters.begin(), characters.end());
        return *this;
    }

    std::vector<std::uint8_t> bytes;

private:
    ReplayBytes& number(std::uint64_t value, int length) {
        for (int i = 0; i < length; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
        return *this;
    }
    ReplayBytes& point(float x, float y) {
        for (const float value : {x, y}) {
            std::uint32_t bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            number(bits, 4);
        }
        return *this;
    }
};

// A short game: the pointer moves, a click on the title, frames, a move after the last.
ReplayBytes shortGame() {
    ReplayBytes game;
    game.header().pointer(-1.5f, 35.25f).frame(17).button(0, 0, -1.5f, 35.25f).frame(1016);
    game.button(0, 1, -1.5f, 35.25f).frame(0).pointer(50.0f, 0.0f).end();
    return game;
}

ReplayStep::Kind lastKind(const ReplaySteps& steps) {
    ReplayStep::Kind last = ReplayStep::Kind::Pointer;
    for (const ReplayStep& step : steps) {
        last = step.kind;
    }
    return last;
}

ReplayReading read(const ReplayBytes& written) {
    return readReplay(written.bytes, kVersion);
}

} // namespace

TEST(ReplayReader, RefusesWhatNoRecordingOfThisGameHolds) {
    const float nan = std::nanf("");
    const struct {
        const char* name;
        ReplayBytes bytes;
        std::string problem;
    } cases[] = {
        {"empty", ReplayBytes(), "it is empty"},
        {"not a replay", ReplayBytes().text("GIF89a and more than sixteen bytes"),
         "it is not a vantorel replay"},
        {"another format", ReplayBytes().header(3).frame(1).end(),
         "it is a replay of format 3; this game reads formats 1 to 2"},
        {"checkpoint in format 1", ReplayBytes().header(1).frame(1).checkpoint(1).end(),
         "it holds a record of unknown kind 67 (byte 33)"},
        {"checkpoint before a frame", ReplayBytes().header(2).checkpoint(1).frame(1).end(),
         "it holds a checkpoint out of order before frame 1 (byte 31)"},
        {"two checkpoints for a frame",
         ReplayBytes().header(2).frame(1000).checkpoint(1).checkpoint(2).end(),
         "it holds a checkpoint out of order before frame 2 (byte 44)"},
        {"a second again",
         ReplayBytes().header(2).frame(1).checkpoint(1).frame(1).checkpoint(1).end(),
         "it holds a checkpoint out of order before frame 3 (byte 45)"},
        {"another game version", ReplayBytes().header(1, "1.0.0").frame(1).end(),
         "it was recorded by version 1.0.0 of the game; this is version 9.8.7"},
        {"clock before zero", ReplayBytes().header(1, kVersion, -5).frame(1).end(),
         "its clock starts before zero"},
        {"clock backwards", ReplayBytes().header().frame(16).frame(-3).end(),
         "its clock runs backwards before frame 2 (byte 33)"},
        {"clock overflows", ReplayBytes().header(1, kVersion, 2147483000).frame(1000).end(),
         "its clock runs past 24 days before frame 1 (byte 31)"},
        {"clock step overlong", ReplayBytes().header().frame(1).text("F\x80\x80\x80\x80\x80\x01"),
         "its clock step before frame 2 is written in more than 5 bytes (byte 33)"},
        {"second overlong",
         ReplayBytes().header(2).frame(1).text("C\xff\xff\xff\xff\xff\x01").end(),
         "its checkpoint's second before frame 2 is written in more than 5 bytes (byte 33)"},
        {"button out of range", ReplayBytes().header().frame(1).button(255, 0, 0, 0).end(),
         "button 255 before frame 2 is out of range (byte 33)"},
        {"button state", ReplayBytes().header().button(0, 2, 0, 0).frame(1).end(),
         "button state 2 before frame 1 is neither down nor up (byte 31)"},
        {"pointer off the field", ReplayBytes().header().pointer(51.5f, 10.0f).frame(1).end(),
         "the pointer at (51.5, 10) before frame 1 is off the field (byte 31)"},
        {"pointer not a number", ReplayBytes().header().frame(1).button(0, 0, 0, nan).end(),
         "the pointer at (0, nan) before frame 2 is off the field (byte 33)"},
        {"unknown record", ReplayBytes().header().frame(1).text("Q").end(),
         "it holds a record of unknown kind 81 (byte 33)"},
        {"after its end", ReplayBytes().header().frame(1).end().frame(1),
         "it goes on after its end"},
        {"no frame", ReplayBytes().header().pointer(0, 0).end(), "it holds no frame"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read(c.bytes).problem, c.problem) << c.name;
    }
}

TEST(ReplayReader, ACutRecordingPlaysItsWholeFramesAndSaysSo) {
    const std::vector<std::uint8_t> whole = shortGame().bytes;
    const std::size_t headerLength = ReplayBytes().header().bytes.size();
    const std::size_t framesEnd[] = {42, 56, 69}; // where each frame record ends
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const ReplayReading reading =
            readReplay(std::vector<std::uint8_t>(whole.begin(), whole.begin() + length), kVersion);
        int frames = 0;
        for (const std::size_t end : framesEnd) {
            frames += length >= end ? 1 : 0;
        }
        if (length == 0) {
            EXPECT_EQ(reading.problem, "it is empty");
        } else if (length < headerLength) {
            EXPECT_EQ(reading.problem, "it ends inside its header") << length << " bytes";
        } else if (frames == 0) {
            EXPECT_EQ(reading.problem, "it holds no frame") << length << " bytes";
        } else {
            ASSERT_EQ(reading.problem, "") << length << " bytes";
            EXPECT_EQ(reading.replay.frames, frames) << length << " bytes";
            EXPECT_EQ(lastKind(reading.replay.steps), ReplayStep::Kind::Frame)
                << "what came after the last whole frame is dropped";
            EXPECT_FALSE(reading.replay.finalDigest);
            EXPECT_NE(reading.notice, "");
        }
    }
}

// Two bytes a frame at 60 Hz in the file, and no more in memory: packed, not
// 24 bytes a step.
TEST(ReplayReader, HoldsARecordingInNoMoreMemoryThanItsFile) {
    constexpr int kFrames = 36000; // ten minutes
    ReplayBytes game;
    game.header(2).pointer(1.0f, 2.0f);
    for (int frame = 1; frame <= kFrames; ++frame) {
        game.frame(frame % 3 == 0 ? 16 : 17);
    }
    const std::string path = ::testing::TempDir() + "ten_minutes.replay";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(game.end().bytes.data()),
               static_cast<std::streamsize>(game.bytes.size()));
    const ReplayReading reading = readReplayFile(path, kVersion);
    std::remove(path.c_str());
    ASSERT_EQ(reading.problem, "");
    EXPECT_EQ(reading.replay.frames, kFrames);
    EXPECT_LE(reading.replay.steps.bytesHeld(), game.bytes.size());
}
