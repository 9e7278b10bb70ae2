#include "child_process.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void addInto(int descriptor, const std::string& file) {
    if (file.empty()) {
        return;
    }
    const int opened = open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    dup2(opened, descriptor);
    close(opened);
}

// Runs in the child, after the fork; never returns.
[[noreturn]] void become(const ChildProcess::Launch& launch) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (!launch.workingDirectory.empty() && chdir(launch.workingDirectory.c_str()) != 0) {
        _exit(126);
    }
    for (const auto& [name, value] : launch.environment) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    addInto(STDOUT_FILENO, launch.output);
    addInto(STDERR_FILENO, launch.errors);
    std::vector<char*> argv;
    for (const std::string& argument : launch.arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execvp(launch.program.empty() ? argv[0] : launch.program.c_str(), argv.data());
    _exit(127);
}

} // namespace

ChildProcess::ChildProcess(const Launch& launch) {
    if (launch.arguments.empty()) {
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        become(launch);
    }
}

ChildProcess::~ChildProcess() {
    stop(SIGTERM);
}

void ChildProcess::stop(int signal) {
    if (running()) {
        kill(pid_, signal);
        int status = 0;
        waitpid(pid_, &status, 0);
        status_ = status;
    }
    pid_ = -1;
}

void ChildProcess::signal(int signal) const {
    if (running()) {
        kill(pid_, signal);
    }
}

bool ChildProcess::running() const {
    if (pid_ <= 0 || status_) {
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) {
        return true;
    }
    status_ = status;
    return false;
}

std::optional<int> ChildProcess::endStatus() const {
    running();
    return status_;
}
