#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// A program a test starts, which runs until the test stops it or the object
// goes (SIGTERM, then waited for). It never outlives a test that is killed.
class ChildProcess {
public:
    struct Launch {
        // What it is told on its command line, its own name first.
        std::vector<std::string> arguments;
        // The program: a path, or a name looked up on PATH; arguments[0] when empty.
        std::string program;
        // Run there instead of the test's own working directory, when given.
        std::string workingDirectory;
        // Set for the program alone, as in {"XDG_DATA_HOME", folder}.
        std::vector<std::pair<std::string, std::string>> environment;
        // Files its standard output and error are added to; the test's own when empty.
        std::string output;
        std::string errors;
    };

    explicit ChildProcess(const Launch& launch);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Sends `signal` and waits for the program to end; nothing once it has.
    void stop(int signal);
    // Sends `signal` and goes on at once.
    void signal(int signal) const;
    bool running() const;
    // How it ended, as wait(2) says (WIFEXITED, WEXITSTATUS), once it has.
    std::optional<int> endStatus() const;

private:
    pid_t pid_ = -1;
    mutable std::optional<int> status_;
};
