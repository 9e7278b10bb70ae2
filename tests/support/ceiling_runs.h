#pragma once

#include <vector>

// The most consecutive samples of any one channel of `interleaved` that sit at
// `ceiling` or within `within` below it, or beyond it. A limiter that clamps
// each rising sample to its ceiling leaves the tops of its peaks flat: long runs.
int longestRunAtCeiling(const std::vector<float>& interleaved, int channels, float ceiling,
                        float within);

// `interleaved` as a limiter without look-ahead leaves it, one that drops its
// gain at once to what each frame needs to stay under `ceiling` and recovers
// over 0.15 s: the negative control of the measure above.
std::vector<float> clampedFrameByFrame(std::vector<float> interleaved, int channels, float ceiling,
                                       int framesPerSecond);
