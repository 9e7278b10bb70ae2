#include "app/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// A command line as typed, kept alive while a test looks at what was read from it.
class Typed {
public:
    explicit Typed(std::vector<std::string> arguments) : words_(std::move(arguments)) {
        words_.insert(words_.begin(), "vantorel");
        for (std::string& word : words_) {
            argv_.push_back(word.data());
        }
    }
    CommandLine read() { return readCommandLine(static_cast<int>(argv_.size()), argv_.data()); }

private:
    std::vector<std::string> words_;
    std::vector<char*> argv_;
};

} // namespace

TEST(CommandLine, ReadsEveryOptionInEitherSpelling) {
    const std::string here = std::filesystem::current_path().string();
    const std::vector<std::string> spellings[] = {
        {"--fullscreen", "--mute", "--scale", "1.5", "--max-fps", "0", "--data", ".",
         "--no-records"},
        {"--fullscreen", "--mute", "--scale=1.5", "--max-fps=0", "--data=" + here + "/./",
         "--no-records"},
    };
    for (const std::vector<std::string>& typed : spellings) {
        const CommandLine line = Typed(typed).read();
        EXPECT_EQ(line.action, CommandLine::Action::Play) << line.problem;
        EXPECT_TRUE(line.options.fullscreen);
        EXPECT_TRUE(line.options.mute);
        EXPECT_EQ(line.options.scale, 1.5);
        EXPECT_EQ(line.options.maxFps, Options::kUnpaced);
        EXPECT_EQ(line.options.dataFolder, here) << "kept absolute";
        EXPECT_FALSE(line.options.keepRecords);
    }
    EXPECT_TRUE(Typed({}).read().options.keepRecords);
    EXPECT_EQ(Typed({"--scale", "0.5"}).read().options.scale, 0.5);
    EXPECT_EQ(Typed({"--scale", "4"}).read().options.scale, 4.0);
}

TEST(CommandLine, ReplayFilesAreKeptAbsoluteAndAFastReplayIsUnpaced) {
    const std::string here = std::filesystem::current_path().string();
    const CommandLine replay = Typed({"--replay", "games/won.replay", "--fast"}).read();
    EXPECT_EQ(replay.action, CommandLine::Action::Play) << replay.problem;
    EXPECT_EQ(replay.options.replayFile, here + "/games/won.replay");
    EXPECT_TRUE(replay.options.fastReplay);
    EXPECT_EQ(replay.options.maxFps, Options::kUnpaced);
    const CommandLine record = Typed({"--record=/tmp/a.replay", "--max-fps", "30"}).read();
    EXPECT_EQ(record.options.recordFile, "/tmp/a.replay");
    EXPECT_EQ(record.options.maxFps, 30) << "recording keeps the pace asked for";
    EXPECT_FALSE(replay.options.keepRecords) << "a replay's games were counted when played";
}

TEST(CommandLine, RecordsAreShownOnlyWhenNothingElseIsAsked) {
    struct Case {
        std::vector<std::string> typed;
        CommandLine::Action action;
    };
    const Case cases[] = {
        {{"--records"}, CommandLine::Action::ShowRecords},
        {{"--mute", "--records"}, CommandLine::Action::ShowRecords},
        {{"--records", "--help"}, CommandLine::Action::ShowHelp},
        {{"--version", "--records"}, CommandLine::Action::ShowVersion},
        {{"--records=all"}, CommandLine::Action::Refuse},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Typed(c.typed).read().action, c.action) << c.typed.front();
    }
}
