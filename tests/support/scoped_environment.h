#pragma once

#include <cstdlib>
#include <string>

// Sets one environment variable for the life of a test, then puts the old value
// back. Processes the test starts meanwhile inherit it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        const char* const previous = std::getenv(name);
        hadPrevious_ = previous != nullptr;
        previous_ = previous ? previous : "";
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (hadPrevious_) {
            setenv(name_, previous_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    bool hadPrevious_ = false;
    std::string previous_;
};
