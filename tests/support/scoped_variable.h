#pragma once

#include <cstdlib>
#include <string>

// Sets an environment variable (or unsets it, for a null value) for the life
// of a test, then puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        const char* const previous = std::getenv(name);
        hadPrevious_ = previous != nullptr;
        previous_ = previous ? previous : "";
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedVariable() {
        if (hadPrevious_) {
            setenv(name_.c_str(), previous_.c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string name_;
    bool hadPrevious_ = false;
    std::string previous_;
};
