#include "app/command_line.h"

#include "app/version.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

namespace {

constexpr double kSmallestScale = 0.5;
constexpr double kLargestScale = 4.0;
constexpr long kHighestMaxFps = 1000;
constexpr std::size_t kHelpColumn = 16;

// Stores the option's value in the command line, or returns what is wrong with it.
using ValueReader = std::string (*)(const std::string& value, CommandLine& line);

struct OptionRule {
    const char* name;
    const char* valueName; // nullptr for an option that takes no value
    const char* help;
    ValueReader read;
};

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The whole of `text` as a finite number, or nothing.
std::optional<double> numberIn(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The whole of `text` as a whole number, or nothing.
std::optional<long> wholeNumberIn(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE) {
        return std::nullopt;
    }
    return value;
}

std::string readFullscreen(const std::string&, CommandLine& line) {
    line.options.fullscreen = true;
    return {};
}

std::string readScale(const std::string& value, CommandLine& line) {
    const std::optional<double> scale = numberIn(value);
    if (!scale || *scale < kSmallestScale || *scale > kLargestScale) {
        return "--scale takes a number from " + shortNumber(kSmallestScale) + " to " +
               shortNumber(kLargestScale) + ", not " + quoted(value);
    }
    line.options.scale = *scale;
    return {};
}

std::string readMaxFps(const std::string& value, CommandLine& line) {
    const std::optional<long> fps = wholeNumberIn(value);
    if (!fps || *fps < Options::kUnpaced || *fps > kHighestMaxFps) {
        return "--max-fps takes a whole number from 0 to " + std::to_string(kHighestMaxFps) +
               ", not " + quoted(value);
    }
    line.options.maxFps = static_cast<int>(*fps);
    return {};
}

std::string readMute(const std::string&, CommandLine& line) {
    line.options.mute = true;
    return {};
}

// Kept absolute: the program changes into this folder before it reads anything.
std::string readDataFolder(const std::string& value, CommandLine& line) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::canonical(value, error);
    if (value.empty() || error || !std::filesystem::is_directory(folder, error)) {
        return "--data wants an existing folder, not " + quoted(value);
    }
    line.options.dataFolder = folder.string();
    return {};
}

std::string readNoRecords(const std::string&, CommandLine& line) {
    line.options.keepRecords = false;
    return {};
}

// Whatever their order: help before the version, the version before the records.
void showRather(CommandLine::Action action, CommandLine& line) {
    using Action = CommandLine::Action;
    const Action byPrecedence[] = {Action::ShowHelp, Action::ShowVersion, Action::ShowRecords,
                                   Action::Play};
    for (const Action first : byPrecedence) {
        if (line.action == first || action == first) {
            line.action = first;
            return;
        }
    }
}

std::string readRecords(const std::string&, CommandLine& line) {
    showRather(CommandLine::Action::ShowRecords, line);
    return {};
}

// Made absolute, as --data changes the working folder before the file is used.
std::string absoluteFile(const std::string& value) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(value, error);
    return error ? std::string() : path.string();
}

std::string readRecordFile(const std::string& value, CommandLine& line) {
    line.options.recordFile = absoluteFile(value);
    return line.options.recordFile.empty() ? "--record wants a file name" : std::string();
}

// A replay never writes the player's records: its games were counted when played.
std::string readReplayFile(const std::string& value, CommandLine& line) {
    line.options.replayFile = absoluteFile(value);
    line.options.keepRecords = false;
    return line.options.replayFile.empty() ? "--replay wants a file name" : std::string();
}

std::string readFast(const std::string&, CommandLine& line) {
    line.options.fastReplay = true;
    return {};
}

// Options that only make sense together, or not at all.
std::string combinationProblem(const Options& options) {
    if (options.fastReplay && options.replayFile.empty()) {
        return "--fast plays a replay: use it with --replay FILE";
    }
    if (!options.recordFile.empty() && !options.replayFile.empty()) {
        return "--record and --replay cannot be used together";
    }
    return {};
}

std::string readHelp(const std::string&, CommandLine& line) {
    showRather(CommandLine::Action::ShowHelp, line);
    return {};
}

std::string readVersion(const std::string&, CommandLine& line) {
    showRather(CommandLine::Action::ShowVersion, line);
    return {};
}

// Every option of the game. Adding one is a row here and a reader above;
// --help lists them from this table, in this order.
const OptionRule kOptionRules[] = {
    {"--fullscreen", nullptr, "play on the whole screen, the field letterboxed to fit",
     readFullscreen},
    {"--scale", "F", "make the window F times 1024 by 768 (0.5 to 4)", readScale},
    {"--max-fps", "N", "draw at most N frames a second; 0 draws as fast as it can", readMaxFps},
    {"--mute", nullptr, "play without sound: no audio device is opened", readMute},
    {"--data", "DIR", "read images/, sound/ and fonts/ from DIR", readDataFolder},
    {"--record", "FILE", "record the game into FILE as it is played", readRecordFile},
    {"--replay", "FILE", "play back the game recorded in FILE; the mouse is not used",
     readReplayFile},
    {"--fast", nullptr, "with --replay: play it at once, say how it ended, and exit", readFast},
    {"--records", nullptr, "show your records and exit", readRecords},
    {"--no-records", nullptr, "neither read nor add to your records", readNoRecords},
    {"--help", nullptr, "show this help and exit", readHelp},
    {"--version", nullptr, "show the version and exit", readVersion},
};

// GLUT's own options, which glutInit reads and removes; some take the next argument.
struct GlutOption {
    const char* name;
    bool takesValue;
};

constexpr const char* kDisplayOption = "-display";

const GlutOption kGlutOptions[] = {
    {kDisplayOption, true}, {"-geometry", true}, {"-direct", false}, {"-indirect", false},
    {"-iconic", false},     {"-gldebug", false}, {"-sync", false},
};

const OptionRule* optionRuleNamed(const std::string& name) {
    for (const OptionRule& rule : kOptionRules) {
        if (name == rule.name) {
            return &rule;
        }
    }
    return nullptr;
}

const GlutOption* glutOptionNamed(const std::string& name) {
    for (const GlutOption& option : kGlutOptions) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
}

void refuse(CommandLine& line, const std::string& problem) {
    line.action = CommandLine::Action::Refuse;
    line.problem = problem;
}

// Reads the game option at argv[index], as "--name", "--name value" or
// "--name=value"; returns the index of the last argument it used.
int readGameOption(int argc, char** argv, int index, CommandLine& line) {
    const std::string argument = argv[index];
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const OptionRule* const rule = optionRuleNamed(name);
    if (!rule) {
        refuse(line, "unknown option " + quoted(name));
        return index;
    }
    std::string value;
    if (equals != std::string::npos) {
        value = argument.substr(equals + 1);
        if (!rule->valueName) {
            refuse(line, name + " takes no value");
            return index;
        }
    } else if (rule->valueName) {
        if (index + 1 >= argc) {
            refuse(line, name + " needs a value: " + name + " " + rule->valueName);
            return index;
        }
        value = argv[++index];
    }
    const std::string problem = rule->read(value, line);
    if (!problem.empty()) {
        refuse(line, problem);
    }
    return index;
}

// Sets GLUT's option at argv[index], and its value, aside for glutInit;
// returns the index of the last argument it used.
int setGlutOptionAside(int argc, char** argv, int index, CommandLine& line) {
    const GlutOption* const option = glutOptionNamed(argv[index]);
    if (!option) {
        const bool looksLikeAnOption = argv[index][0] == '-';
        refuse(line, std::string(looksLikeAnOption ? "unknown option " : "unexpected argument ") +
                         quoted(argv[index]));
        return index;
    }
    line.glutArguments.push_back(argv[index]);
    if (option->takesValue) {
        if (index + 1 >= argc) {
            refuse(line, std::string(argv[index]) + " needs a value");
            return index;
        }
        line.glutArguments.push_back(argv[++index]);
    }
    if (std::strcmp(option->name, kDisplayOption) == 0) {
        line.options.displayName = argv[index];
    }
    return index;
}

bool isGameOption(const char* argument) {
    return std::strncmp(argument, "--", 2) == 0;
}

std::string helpLine(const OptionRule& rule) {
    std::string left = std::string("  ") + rule.name;
    if (rule.valueName) {
        left += std::string(" ") + rule.valueName;
    }
    left.resize(std::max(left.size() + 1, kHelpColumn), ' ');
    return left + rule.help + "\n";
}

std::string dataFolderOf(const Options& options) {
    if (!options.dataFolder.empty()) {
        return options.dataFolder;
    }
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    return error ? std::string("the working directory") : here.string();
}

} // namespace

CommandLine readCommandLine(int argc, char** argv) {
    CommandLine line;
    if (argc > 0) {
        line.glutArguments.push_back(argv[0]);
    }
    for (int index = 1; index < argc && line.action != CommandLine::Action::Refuse; ++index) {
        if (isGameOption(argv[index])) {
            index = readGameOption(argc, argv, index, line);
        } else {
            index = setGlutOptionAside(argc, argv, index, line);
        }
    }
    line.glutArguments.push_back(nullptr);
    if (line.action == CommandLine::Action::Play) {
        const std::string problem = combinationProblem(line.options);
        if (!problem.empty()) {
            refuse(line, problem);
        }
    }
    // Read after every option, so that their order does not matter.
    if (line.options.fastReplay) {
        line.options.maxFps = Options::kUnpaced;
    }
    return line;
}

std::string helpText(const Options& options) {
    std::string text = std::string("Usage: ") + kProgramName + " [OPTION]...\n" +
                       "Form a solar system from scattered debris, and survive its planets.\n"
                       "\n"
                       "Controls: click to fly the ship there; hold the button on the ship to "
                       "spin it up\n"
                       "and catch debris; fly through the gas cloud's centre at speed to form a "
                       "planet.\n"
                       "\n"
                       "Options:\n";
    for (const OptionRule& rule : kOptionRules) {
        text += helpLine(rule);
    }
    text += "\n"
            "GLUT's own options, such as -display and -geometry, are passed on to GLUT.\n"
            "Data (images/, sound/, fonts/) is read from " +
            dataFolderOf(options) + "\n";
    return text;
}

std::string versionText() {
    return std::string(kProgramName) + " " + kProgramVersion + "\n";
}

std::string refusalText(const std::string& problem) {
    return std::string(kProgramName) + ": " + problem + " (try '" + kProgramName + " --help')\n";
}
