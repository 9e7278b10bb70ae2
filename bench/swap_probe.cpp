// Preloaded into a GLUT program (LD_PRELOAD) to time it from the outside:
// it wraps glutSwapBuffers and reports on standard error, as lines
// "swap-probe <event> <swaps> <milliseconds>":
//  - first: the first frame is on screen, milliseconds counted from the
//    wall-clock time in SWAP_PROBE_T0 (seconds with a fraction, as bash's
//    $EPOCHREALTIME gives it just before the program starts);
//  - mark: the first swap after each SIGUSR1, so that the frames drawn
//    between two marks can be counted.
// With SWAP_PROBE_EXIT set the program ends after its first frame (for
// profiling the start-up alone).
// Nothing in the program is changed: the game and the bare window are measured
// alike.
#include <GL/gl.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace {

using SwapFunction = void (*)();

std::atomic<bool> markRequested{false};
long swaps = 0;

double millisecondsSinceStart() {
    const char* const start = std::getenv("SWAP_PROBE_T0");
    const double startSeconds = start ? std::strtod(start, nullptr) : 0.0;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const double nowSeconds = std::chrono::duration<double>(now).count();
    return (nowSeconds - startSeconds) * 1000.0;
}

void report(const char* event) {
    std::fprintf(stderr, "swap-probe %s %ld %.3f\n", event, swaps, millisecondsSinceStart());
    std::fflush(stderr);
}

void requestMark(int) {
    markRequested = true;
}

SwapFunction realSwap() {
    static const SwapFunction swap =
        reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    return swap;
}

} // namespace

extern "C" void glutSwapBuffers() {
    realSwap()();
    ++swaps;
    if (swaps == 1) {
        glFinish(); // the picture is complete, not merely queued
        report("first");
        if (std::getenv("SWAP_PROBE_EXIT")) {
            _exit(0);
        }
        std::signal(SIGUSR1, requestMark);
    }
    if (markRequested.exchange(false)) {
        report("mark");
    }
}
