#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
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

namespace {

// Everything read from a command line, as one text to compare.
std::string whatWasRead(const CommandLine& line) {
    const Options& o = line.options;
    std::string text = "action " + std::to_string(static_cast<int>(line.action)) + " fullscreen " +
                       std::to_string(o.fullscreen) + " mute " + std::to_string(o.mute) +
                       " scale " + std::to_string(o.scale) + " fps " + std::to_string(o.maxFps) +
                       " records " + std::to_string(o.keepRecords) + " data " + o.dataFolder +
                       " record " + o.recordFile + " replay " + o.replayFile + " fast " +
                       std::to_string(o.fastReplay) + " display " + o.displayName + " glut";
    for (const char* argument : line.glutArguments) {
        text += std::string(" ") + (argument ? argument : "(end)");
    }
    return text;
}

std::string action(CommandLine::Action action) {
    return "action " + std::to_string(static_cast<int>(action)) + " ";
}

// Every order of `groups`, each group an option with its value, read as typed.
std::vector<std::string> everyOrderRead(std::vector<std::vector<std::string>> groups) {
    std::sort(groups.begin(), groups.end());
    std::vector<std::string> read;
    do {
        std::vector<std::string> typed;
        for (const std::vector<std::string>& group : groups) {
            typed.insert(typed.end(), group.begin(), group.end());
        }
        read.push_back(whatWasRead(Typed(typed).read()));
    } while (std::next_permutation(groups.begin(), groups.end()));
    return read;
}

} // namespace

TEST(CommandLine, TheOrderOfTheOptionsNeverMatters) {
    const struct {
        const char* name;
        std::vector<std::vector<std::string>> groups;
        std::string expected;
    } cases[] = {
        {"a fast replay is unpaced",
         {{"--fast"}, {"--max-fps", "60"}, {"--replay", "/r"}, {"--scale=2"}, {"--mute"}},
         " mute 1 scale 2.000000 fps 0 records 0 "},
        {"help before the version before the records",
         {{"--records"}, {"--version"}, {"--help"}, {"--no-records"}},
         action(CommandLine::Action::ShowHelp)},
        {"the version before the records",
         {{"--records"}, {"--version"}, {"--fullscreen"}},
         action(CommandLine::Action::ShowVersion)},
        {"GLUT's option among the game's",
         {{"-display", ":7"}, {"--record", "/r"}, {"--max-fps=30"}, {"--data", "/"}, {"--mute"}},
         " fps 30 records 1 data / record /r replay  fast 0 display :7 glut vantorel -display :7 "
         "(end)"},
        {"a combination refused",
         {{"--record", "/a"}, {"--replay", "/b"}, {"--mute"}},
         action(CommandLine::Action::Refuse)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> read = everyOrderRead(c.groups);
        EXPECT_NE(read.front().find(c.expected), std::string::npos) << read.front();
        for (const std::string& inAnotherOrder : read) {
            EXPECT_EQ(inAnotherOrder, read.front());
        }
    }
}
