#include "window_manager.h"

#include "polling.h"
#include "running_game.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void silence() {
    const int nothing = open("/dev/null", O_WRONLY);
    dup2(nothing, STDOUT_FILENO);
    dup2(nothing, STDERR_FILENO);
    close(nothing);
}

} // namespace

WindowManager::WindowManager() {
    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        silence(); // it talks about its menus and themes
        execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        _exit(127);
    }
    // A manager that complies with the desktop conventions announces itself.
    managing_ = waitUntil(
        [] { return commandOutput("wmctrl -m 2>/dev/null").find("Openbox") != std::string::npos; });
}

WindowManager::~WindowManager() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    // Its check window is gone but the root still names it, and xdotool then
    // fails on every search: the display is left as it was found.
    std::system("xprop -root -remove _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1");
}
