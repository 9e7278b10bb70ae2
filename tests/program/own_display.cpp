#include "own_display.h"

#include <cstdlib>
#include <unistd.h>

namespace {

// Up to the end of a line; empty when the writer closed first.
std::string lineFrom(int descriptor) {
    std::string line;
    char next = 0;
    while (read(descriptor, &next, 1) == 1 && next != '\n') {
        line += next;
    }
    return next == '\n' ? line : std::string();
}

} // namespace

OwnDisplay::OwnDisplay(const char* screen) {
    const char* const previous = std::getenv("DISPLAY");
    previous_ = previous ? previous : "";
    int ready[2];
    if (pipe(ready) != 0) {
        return;
    }
    ChildProcess::Launch xvfb;
    xvfb.arguments = {"Xvfb",      "-displayfd", std::to_string(ready[1]), "-screen", "0", screen,
                      "-nolisten", "tcp"};
    xvfb_.emplace(xvfb);
    close(ready[1]);
    const std::string number = lineFrom(ready[0]); // written once it serves
    close(ready[0]);
    serving_ = !number.empty();
    if (serving_) {
        name_ = ":" + number;
        setenv("DISPLAY", name_.c_str(), 1);
    }
}

OwnDisplay::~OwnDisplay() {
    setenv("DISPLAY", previous_.c_str(), 1);
}
