#include "polling.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr auto kLongestStartUp = std::chrono::seconds(60);

struct Ending {
    bool finished = false;
    int status = 0;
    std::string standardOutput;
    std::string standardError;
};

struct Pipe {
    int reader = -1;
    int writer = -1;
};

Pipe openPipe() {
    int ends[2] = {-1, -1};
    if (pipe(ends) != 0) {
        ADD_FAILURE() << "no pipe";
    }
    return Pipe{ends[0], ends[1]};
}

// Reads what has arrived on `descriptor` without blocking; true once its
// writer has closed it.
bool readArrived(int descriptor, std::string& into) {
    pollfd reader{descriptor, POLLIN, 0};
    while (poll(&reader, 1, 0) > 0) {
        char chunk[256];
        const ssize_t got = read(descriptor, chunk, sizeof chunk);
        if (got <= 0) {
            return true;
        }
        into.append(chunk, static_cast<std::size_t>(got));
    }
    return false;
}

[[noreturn]] void runGameInChild(const std::string& directory,
                                 const std::vector<std::string>& arguments, bool withDisplay) {
    if (!withDisplay) {
        unsetenv("DISPLAY"); // any attempt at a window now fails at once
    }
    if (chdir(directory.c_str()) != 0) {
        _exit(126);
    }
    std::vector<char*> argv{const_cast<char*>(VANTOREL_BINARY)};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execv(VANTOREL_BINARY, argv.data());
    _exit(127);
}

// Starts the real binary in `directory` with `arguments` and waits, bounded,
// for it to end on its own; what it printed is kept.
Ending runUntilItEnds(const std::string& directory, const std::vector<std::string>& arguments = {},
                      bool withDisplay = true) {
    const Pipe out = openPipe();
    const Pipe err = openPipe();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out.writer, STDOUT_FILENO);
        dup2(err.writer, STDERR_FILENO);
        for (const int end : {out.reader, out.writer, err.reader, err.writer}) {
            close(end);
        }
        runGameInChild(directory, arguments, withDisplay);
    }
    close(out.writer);
    close(err.writer);

    Ending ending;
    // Its standard output and error close as the program ends.
    bool outClosed = false;
    bool errClosed = false;
    const bool closed = waitUntil(
        [&] {
            outClosed = outClosed || readArrived(out.reader, ending.standardOutput);
            errClosed = errClosed || readArrived(err.reader, ending.standardError);
            return outClosed && errClosed;
        },
        kLongestStartUp);
    close(out.reader);
    close(err.reader);
    if (closed) {
        ending.finished = waitpid(pid, &ending.status, 0) == pid;
    } else {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return ending;
}

int exitStatusOf(const Ending& ending) {
    EXPECT_TRUE(ending.finished) << "still running after " << kLongestStartUp.count() << " s";
    EXPECT_TRUE(WIFEXITED(ending.status)) << "ended by signal " << WTERMSIG(ending.status);
    return WIFEXITED(ending.status) ? WEXITSTATUS(ending.status) : -1;
}

} // namespace

// The display is named only by GLUT's own option, which must reach glutInit
// for the game to get as far as its font.
TEST(Main, WithoutItsFontTheGameSaysWhyAndExitsWithStatusOne) {
    const char* const display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr);
    char directory[] = "/tmp/vantorel-no-font-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const Ending ending = runUntilItEnds(directory, {"-display", display}, false);
    rmdir(directory);

    EXPECT_EQ(exitStatusOf(ending), 1);
    const std::string line =
        "vantorel: FT_New_Face failed (there is probably a problem with your font file)\n";
    ASSERT_GE(ending.standardError.size(), line.size()) << ending.standardError;
    EXPECT_EQ(ending.standardError.substr(ending.standardError.size() - line.size()), line)
        << "stderr was: " << ending.standardError;
}

// Run without a display: a command line refused before any window is tried
// ends with status 2 and its one line, not with GLUT's complaint.
TEST(Main, RefusesABadCommandLineInOneLineWithStatusTwo) {
    struct Case {
        std::vector<std::string> arguments;
        std::string problem;
    };
    const Case cases[] = {
        {{"--scale", "0"}, "--scale takes a number from 0.5 to 4, not '0'"},
        {{"--scale", "abc"}, "--scale takes a number from 0.5 to 4, not 'abc'"},
        {{"--scale=9"}, "--scale takes a number from 0.5 to 4, not '9'"},
        {{"--max-fps", "-1"}, "--max-fps takes a whole number from 0 to 1000, not '-1'"},
        {{"--mute", "--data"}, "--data needs a value: --data DIR"},
        {{"--data", "/no/such/folder"}, "--data wants an existing folder, not '/no/such/folder'"},
        {{"--data", "/etc/hostname"}, "--data wants an existing folder, not '/etc/hostname'"},
        {{"--sound"}, "unknown option '--sound'"},
        {{"-x"}, "unknown option '-x'"},
        {{"play"}, "unexpected argument 'play'"},
        {{"--fullscreen=yes"}, "--fullscreen takes no value"},
        {{"-geometry"}, "-geometry needs a value"},
    };
    for (const Case& c : cases) {
        const Ending ending = runUntilItEnds(VANTOREL_DATA_DIR, c.arguments, false);
        const std::string said = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(exitStatusOf(ending), 2) << said;
        EXPECT_EQ(ending.standardError, "vantorel: " + c.problem + " (try 'vantorel --help')\n")
            << said;
        EXPECT_EQ(ending.standardOutput, "") << said;
    }
}

TEST(Main, HelpAndVersionAnswerWithoutAWindow) {
    const Ending version = runUntilItEnds(VANTOREL_DATA_DIR, {"--version"}, false);
    EXPECT_EQ(exitStatusOf(version), 0);
    EXPECT_EQ(version.standardOutput, "vantorel " VANTOREL_VERSION "\n");

    const Ending help = runUntilItEnds("/tmp", {"--data", VANTOREL_DATA_DIR, "--help"}, false);
    EXPECT_EQ(exitStatusOf(help), 0);
    EXPECT_EQ(help.standardError, "");
    EXPECT_EQ(help.standardOutput.rfind("Usage: vantorel [OPTION]...\n", 0), 0u)
        << help.standardOutput;
    const std::string lastLine = "is read from " VANTOREL_DATA_DIR "\n";
    ASSERT_GE(help.standardOutput.size(), lastLine.size());
    EXPECT_EQ(help.standardOutput.substr(help.standardOutput.size() - lastLine.size()), lastLine);

    // The README shows the same help, up to the folder, which differs by machine.
    std::ifstream readmeFile(VANTOREL_DATA_DIR "/README.md");
    const std::string readme{std::istreambuf_iterator<char>(readmeFile), {}};
    const std::string upToTheFolder =
        help.standardOutput.substr(0, help.standardOutput.size() - lastLine.size());
    EXPECT_NE(readme.find(upToTheFolder), std::string::npos)
        << "README.md's Options section does not match --help:\n"
        << help.standardOutput;
}
