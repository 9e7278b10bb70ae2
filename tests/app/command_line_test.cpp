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

CommandLine::Action actionOf(std::vector<std::string> arguments) {
    return Typed(std::move(arguments)).read().action;
}

std::vector<std::string> glutArgumentsOf(const CommandLine& line) {
    std::vector<std::string> arguments;
    for (const char* argument : line.glutArguments) {
        arguments.push_back(argument ? argument : "(end)");
    }
    return arguments;
}

} // namespace

TEST(CommandLine, ReadsEveryOptionInEitherSpelling) {
    const std::string here = std::filesystem::current_path().string();
    struct Case {
        std::vector<std::string> arguments;
        Options expected;
    };
    Options all;
    all.fullscreen = true;
    all.mute = true;
    all.scale = 1.5;
    all.maxFps = 144;
    all.dataFolder = here;
    Options unpaced;
    unpaced.maxFps = Options::kUnpaced;
    Options largest;
    largest.scale = 4.0;
    const Case cases[] = {
        {{}, Options{}},
        {{"--fullscreen", "--mute", "--scale", "1.5", "--max-fps", "144", "--data", "."}, all},
        {{"--fullscreen", "--mute", "--scale=1.5", "--max-fps=144", "--data=" + here + "/./"}, all},
        {{"--max-fps", "0"}, unpaced},
        {{"--scale", "0.5", "--scale", "4"}, largest},
    };
    for (const Case& c : cases) {
        const CommandLine line = Typed(c.arguments).read();
        const std::string said = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(line.action, CommandLine::Action::Play) << said << ": " << line.problem;
        EXPECT_EQ(line.options.fullscreen, c.expected.fullscreen) << said;
        EXPECT_EQ(line.options.mute, c.expected.mute) << said;
        EXPECT_EQ(line.options.scale, c.expected.scale) << said;
        EXPECT_EQ(line.options.maxFps, c.expected.maxFps) << said;
        EXPECT_EQ(line.options.dataFolder, c.expected.dataFolder) << said;
    }
}

TEST(CommandLine, SetsGlutsOwnOptionsAsideWithTheirValues) {
    Typed typed({"-display", ":7", "--mute", "-geometry", "800x600+0+0", "-sync", "--scale", "2"});
    const CommandLine line = typed.read();
    EXPECT_EQ(line.action, CommandLine::Action::Play) << line.problem;
    EXPECT_TRUE(line.options.mute);
    EXPECT_EQ(line.options.scale, 2.0);
    const std::vector<std::string> expected = {"vantorel",    "-display", ":7",   "-geometry",
                                               "800x600+0+0", "-sync",    "(end)"};
    EXPECT_EQ(glutArgumentsOf(line), expected);
}

TEST(CommandLine, HelpWinsOverVersionAndARefusalOverBoth) {
    EXPECT_EQ(actionOf({"--version"}), CommandLine::Action::ShowVersion);
    EXPECT_EQ(actionOf({"--version", "--help"}), CommandLine::Action::ShowHelp);
    EXPECT_EQ(actionOf({"--help", "--version"}), CommandLine::Action::ShowHelp);
    EXPECT_EQ(actionOf({"--help", "--scale", "9"}), CommandLine::Action::Refuse);
    EXPECT_EQ(actionOf({"-display"}), CommandLine::Action::Refuse);
}

TEST(CommandLine, HelpNamesTheDataFolderThatWouldBeRead) {
    Options options;
    options.dataFolder = "/usr/share/games/vantorel";
    const std::string help = helpText(options);
    EXPECT_NE(help.find("is read from /usr/share/games/vantorel\n"), std::string::npos) << help;
    const std::string here = std::filesystem::current_path().string();
    EXPECT_NE(helpText(Options{}).find("is read from " + here + "\n"), std::string::npos);
}
