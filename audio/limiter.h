#pragma once

// Keeps the mixed output below full scale. The gain drops at once to what the
// loudest sample of a frame needs and recovers smoothly afterwards, so the
// balance between the sounds holds and a mix that fits passes untouched.
class Limiter {
public:
    explicit Limiter(int framesPerSecond);

    // Limits `frames` interleaved frames of `channels` samples in place.
    void process(float* samples, int frames, int channels);

private:
    float recovery_; // share of the way back to full gain made per frame
    float gain_ = 1.0f;
};
