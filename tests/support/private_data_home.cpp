// No test may touch the player's own records. Linked into every test binary,
// this points XDG_DATA_HOME at a fresh folder before any test runs, for the code
// under test and every game a test starts; the folder goes when the binary ends.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string dataHome;
pid_t owner = 0;

// Only by the test binary itself, never by a child it forked.
void removeDataHome() {
    if (getpid() == owner) {
        std::error_code ignored;
        std::filesystem::remove_all(dataHome, ignored);
    }
}

[[maybe_unused]] const bool kPrivateDataHome = [] {
    char pattern[] = "/tmp/vantorel-data-home-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::abort();
    }
    dataHome = pattern;
    owner = getpid();
    setenv("XDG_DATA_HOME", pattern, 1);
    std::atexit(removeDataHome);
    return true;
}();

} // namespace
