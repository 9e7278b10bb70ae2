// Preloaded into the real game by bench/pacing.py: counts the frames it shows
// without changing the game. Every glXSwapBuffers adds one to a counter kept in
// a shared file (VANTOREL_SWAP_COUNTER), which the script reads while the game
// runs; a file write per frame would itself cost the CPU time being measured.
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
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

} // namespace

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static const auto realSwap = reinterpret_cast<SwapBuffers>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    static std::uint64_t* const counter = mapCounter();
    realSwap(display, drawable);
    if (counter) {
        __atomic_add_fetch(counter, 1, __ATOMIC_RELAXED);
    }
}
