#pragma once

#include "child_process.h"

#include <optional>
#include <string>

// An Xvfb server of the test's own, with a screen of another size, is the
// test's display while the object lives.
class OwnDisplay {
public:
    // `screen` as Xvfb takes it: "800x600x24".
    explicit OwnDisplay(const char* screen);
    ~OwnDisplay();
    OwnDisplay(const OwnDisplay&) = delete;
    OwnDisplay& operator=(const OwnDisplay&) = delete;

    bool serving() const { return serving_; }
    // Its name, as in ":5", and the display the test had before.
    const std::string& name() const { return name_; }
    const std::string& previous() const { return previous_; }

private:
    std::optional<ChildProcess> xvfb_; // stopped once the display is given back
    bool serving_ = false;
    std::string name_;
    std::string previous_;
};
