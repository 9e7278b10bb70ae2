#pragma once

#include "app/options.h"

#include <string>
#include <vector>

// What the command line asks for. The game's own options have two dashes and
// fill `options`; GLUT's own (-display, -geometry ...) keep one dash and are
// set aside, with their values, for glutInit. Reading it opens nothing, so a
// bad command line is refused before any window appears.
struct CommandLine {
    enum class Action { Play, ShowHelp, ShowVersion, ShowRecords, Refuse };

    Action action = Action::Play;
    Options options;
    // Why the command line was refused, in a few words; empty unless refused.
    std::string problem;
    // argv[0] and GLUT's options in their order, ending with a null pointer as
    // argv does; they point into the argv that was read.
    std::vector<char*> glutArguments;
};

CommandLine readCommandLine(int argc, char** argv);

// The text of --help: usage, the controls, every option, and where the data
// would be read from with these options.
std::string helpText(const Options& options);
// The text of --version.
std::string versionText();
// The one line on stderr for a refused command line.
std::string refusalText(const std::string& problem);
