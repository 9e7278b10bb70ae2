#include "window_manager.h"

#include "polling.h"
#include "running_game.h"

#include <csignal>
#include <cstdlib>

namespace {

ChildProcess::Launch openbox() {
    ChildProcess::Launch launch;
    launch.arguments = {"openbox", "--sm-disable"};
    launch.output = "/dev/null"; // it talks about its menus and themes
    launch.errors = "/dev/null";
    return launch;
}

} // namespace

WindowManager::WindowManager() : openbox_(openbox()) {
    // A manager that complies with the desktop conventions announces itself.
    managing_ = waitUntil(
        [] { return commandOutput("wmctrl -m 2>/dev/null").find("Openbox") != std::string::npos; });
}

WindowManager::~WindowManager() {
    openbox_.stop(SIGTERM);
    // Its check window is gone but the root still names it, and xdotool then
    // fails on every search: the display is left as it was found.
    std::system("xprop -root -remove _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1");
}
