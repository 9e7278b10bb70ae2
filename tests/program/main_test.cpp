#include "polling.h"
#include "running_game.h"

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

namespace {

constexpr auto kLongestStartUp = std::chrono::seconds(60);

struct Ending {
    bool finished = false;
    int status = 0;
    std::string standardError;
};

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

// Starts the real binary in `directory` with the test's X display and waits,
// bounded, for it to end on its own; what it printed on stderr is kept.
Ending runUntilItEnds(const std::string& directory) {
    int errorPipe[2];
    if (pipe(errorPipe) != 0) {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(errorPipe[1], STDERR_FILENO);
        close(errorPipe[0]);
        close(errorPipe[1]);
        if (chdir(directory.c_str()) != 0) {
            _exit(126);
        }
        execl(VANTOREL_BINARY, VANTOREL_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(errorPipe[1]);

    Ending ending;
    // Its standard error closes as the program ends.
    const bool stderrClosed =
        waitUntil([&] { return readArrived(errorPipe[0], ending.standardError); }, kLongestStartUp);
    close(errorPipe[0]);
    if (stderrClosed) {
        ending.finished = waitpid(pid, &ending.status, 0) == pid;
    } else {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return ending;
}

} // namespace

TEST(Main, WithoutItsFontTheGameSaysWhyAndExitsWithStatusOne) {
    char directory[] = "/tmp/vantorel-no-font-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const Ending ending = runUntilItEnds(directory);
    rmdir(directory);

    ASSERT_TRUE(ending.finished) << "still running after " << kLongestStartUp.count() << " s";
    EXPECT_FALSE(WIFSIGNALED(ending.status)) << "killed by signal " << WTERMSIG(ending.status);
    ASSERT_TRUE(WIFEXITED(ending.status));
    EXPECT_EQ(WEXITSTATUS(ending.status), 1);
    const std::string line =
        "vantorel: FT_New_Face failed (there is probably a problem with your font file)\n";
    ASSERT_GE(ending.standardError.size(), line.size()) << ending.standardError;
    EXPECT_EQ(ending.standardError.substr(ending.standardError.size() - line.size()), line)
        << "stderr was: " << ending.standardError;
}

namespace {

struct Answer {
    std::string standardOutput;
    std::string standardError;
    int status = -1;
};

// Runs the real binary with `arguments`, split as a shell splits them, and no
// display: a window it tried to open would fail at once with GLUT's complaint.
Answer answerWithoutADisplay(const std::string& arguments) {
    const std::string run = "env -u DISPLAY " VANTOREL_BINARY " " + arguments;
    return Answer{commandOutput(run + " 2>/dev/null"), commandOutput(run + " 2>&1 >/dev/null"),
                  std::atoi(commandOutput(run + " >/dev/null 2>&1; echo $?").c_str())};
}

} // namespace

TEST(Main, RefusesABadCommandLineInOneLineWithStatusTwo) {
    const std::pair<std::string, std::string> cases[] = {
        {"--scale 0", "--scale takes a number from 0.5 to 4, not '0'"},
        {"--scale abc", "--scale takes a number from 0.5 to 4, not 'abc'"},
        {"--scale=9", "--scale takes a number from 0.5 to 4, not '9'"},
        {"--max-fps -1", "--max-fps takes a whole number from 0 to 1000, not '-1'"},
        {"--mute --data", "--data needs a value: --data DIR"},
        {"--data /no/such/folder", "--data wants an existing folder, not '/no/such/folder'"},
        {"--data /etc/hostname", "--data wants an existing folder, not '/etc/hostname'"},
        {"--sound", "unknown option '--sound'"},
        {"-x", "unknown option '-x'"},
        {"play", "unexpected argument 'play'"},
        {"--fullscreen=yes", "--fullscreen takes no value"},
        {"-geometry", "-geometry needs a value"},
        {"--fast", "--fast plays a replay: use it with --replay FILE"},
        {"--record a --replay b", "--record and --replay cannot be used together"},
    };
    for (const auto& [arguments, problem] : cases) {
        const Answer answer = answerWithoutADisplay(arguments);
        EXPECT_EQ(answer.status, 2) << arguments;
        EXPECT_EQ(answer.standardError, "vantorel: " + problem + " (try 'vantorel --help')\n");
        EXPECT_EQ(answer.standardOutput, "") << arguments;
    }
}

TEST(Main, HelpAndVersionAnswerWithoutAWindow) {
    const Answer version = answerWithoutADisplay("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.standardOutput, "vantorel " VANTOREL_VERSION "\n");

    const Answer help = answerWithoutADisplay("--data " VANTOREL_DATA_DIR " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.standardError, "");
    // The README shows the same help, up to the folder, which differs by machine.
    const std::string folder = VANTOREL_DATA_DIR "\n";
    ASSERT_GT(help.standardOutput.size(), folder.size());
    const std::size_t folderStart = help.standardOutput.size() - folder.size();
    EXPECT_EQ(help.standardOutput.substr(folderStart), folder);
    std::ifstream readmeFile(VANTOREL_DATA_DIR "/README.md");
    const std::string readme{std::istreambuf_iterator<char>(readmeFile), {}};
    EXPECT_NE(readme.find(help.standardOutput.substr(0, folderStart)), std::string::npos)
        << "README.md's Options section does not match --help:\n"
        << help.standardOutput;
}

// GLUT's own option must reach glutInit for the game to get as far as the
// font, which it looks for in the folder --data names; muted, it says nothing
// of a sound device on the way.
TEST(Main, PassesGlutItsOwnOptionsAndReadsTheDataFolderGiven) {
    char empty[] = "/tmp/vantorel-empty-XXXXXX";
    ASSERT_NE(mkdtemp(empty), nullptr);
    const char* const display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr);
    const Answer answer =
        answerWithoutADisplay(std::string("-display ") + display + " --mute --data " + empty);
    rmdir(empty);
    EXPECT_EQ(answer.status, 1);
    EXPECT_EQ(answer.standardError,
              "vantorel: FT_New_Face failed (there is probably a problem with your font file)\n");
}
