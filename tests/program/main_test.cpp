#include "polling.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
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
