// Preloaded into the real game by bench/pacing.py: counts the frames it shows
// without changing the game. Every glXSwapBuffers adds one to a counter kept in
// a shared file (VANTOREL_SWAP_COUNTER), which the script reads while the game
// runs; a file write per frame would itself cost the CPU time being measured.
// bench/measure-window.sh also times the start-up of the game and of a bare
// window with it: given VANTOREL_SWAP_T0, the wall-clock time just before the
// program started (seconds, as bash's $EPOCHREALTIME), the first swap says on
// standard error how many milliseconds later the first frame went to the
// screen, and ends the program there when VANTOREL_SWAP_EXIT is set.
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using SwapBuffers = void (*)(Display*, GLXDrawable);

std::uint64_t* mapCounter() {
    const char* const path = std::getenv("VANTOREL_SWAP_COUNTER");
    if (!path) {
        return nullptr;
    }
    const int file = open(path, O_RDWR | O_CREAT, 0644);
    if (file < 0) {
        return nullptr;
    }
    void* counter = nullptr;
    if (ftruncate(file, sizeof(std::uint64_t)) == 0) {
        counter = mmap(nullptr, sizeof(std::uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    }
    close(file);
    return counter == MAP_FAILED ? nullptr : static_cast<std::uint64_t*>(counter);
}

void reportFirstFrame() {
    const char* const start = std::getenv("VANTOREL_SWAP_T0");
    if (!start) {
        return;
    }
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const double seconds = std::chrono::duration<double>(now).count() - std::strtod(start, nullptr);
    std::fprintf(stderr, "first frame after %.3f ms\n", seconds * 1000.0);
    if (std::getenv("VANTOREL_SWAP_EXIT")) {
        std::fflush(stderr);
        _exit(0);
    }
}

} // namespace

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static const auto realSwap = reinterpret_cast<SwapBuffers>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    static std::uint64_t* const counter = mapCounter();
    static bool first = true;
    realSwap(display, drawable);
    if (counter) {
        __atomic_add_fetch(counter, 1, __ATOMIC_RELAXED);
    }
    if (first) {
        first = false;
        reportFirstFrame();
    }
}
