// No test may touch the player's own records. Linked into every test binary,
// this points XDG_DATA_HOME at a fresh folder before any test runs, so that the
// code under test and every game a test starts keep their records there; the
// folder goes when the binary ends. A test that needs a folder of its own sets
// the variable again.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

struct PrivateDataHome {
    std::string path;
    pid_t owner = 0;
};

PrivateDataHome& privateDataHome() {
    static PrivateDataHome home;
    return home;
}

// Only by the test binary itself, never by a child it forked that exits.
void removePrivateDataHome() {
    if (getpid() == privateDataHome().owner) {
        std::error_code ignored;
        std::filesystem::remove_all(privateDataHome().path, ignored);
    }
}

[[maybe_unused]] const bool kPrivateDataHome = [] {
    char pattern[] = "/tmp/vantorel-data-home-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::abort();
    }
    privateDataHome() = PrivateDataHome{pattern, getpid()};
    setenv("XDG_DATA_HOME", pattern, 1);
    std::atexit(removePrivateDataHome);
    return true;
}();

} // namespace
