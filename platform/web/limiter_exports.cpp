#include "audio/limiter.h"

#include <emscripten.h>

// The game's limiter as the page's audio thread runs it (limiter_worklet.js):
// built alone into limiter.wasm, a module beside the game's own.
extern "C" {

EMSCRIPTEN_KEEPALIVE Limiter* limiterCreate(int framesPerSecond, int channels) {
    return new Limiter(framesPerSecond, channels);
}

// Room for `samples` interleaved samples, which limiterProcess limits in place.
EMSCRIPTEN_KEEPALIVE float* limiterSamples(int samples) {
    return new float[static_cast<unsigned>(samples)]();
}

EMSCRIPTEN_KEEPALIVE void limiterProcess(Limiter* limiter, float* samples, int frames) {
    limiter->process(samples, frames);
}
}
