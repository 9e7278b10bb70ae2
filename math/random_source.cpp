#include "math/random_source.h"

namespace {

// The seed spreads over the state through a Lehmer generator, 16807 x mod
// 2^31 - 1, computed by Schrage's method so that nothing overflows 32 bits;
// then the first ten rounds of outputs are thrown away.
constexpr std::int32_t kLehmerMultiplier = 16807;
constexpr std::int32_t kLehmerModulus = 2147483647;
constexpr std::int32_t kSchrageQuotient = 127773; // modulus / multiplier
constexpr std::int32_t kSchrageRemainder = 2836;  // modulus % multiplier
constexpr int kWarmUpRounds = 10;

std::int32_t lehmerStep(std::int32_t word) {
    const std::int64_t high = word / kSchrageQuotient;
    const std::int64_t low = word % kSchrageQuotient;
    std::int64_t next = kLehmerMultiplier * low - kSchrageRemainder * high;
    if (next < 0) {
        next += kLehmerModulus;
    }
    return static_cast<std::int32_t>(next);
}

} // namespace

void RandomSource::reseed(unsigned seed) {
    if (seed == 0) {
        seed = 1;
    }
    std::int32_t word = static_cast<std::int32_t>(seed);
    state_[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < kDegree; ++i) {
        word = lehmerStep(word);
        state_[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(word);
    }
    front_ = kSeparation;
    rear_ = 0;
    for (int i = 0; i < kWarmUpRounds * kDegree; ++i) {
        next();
    }
}

std::int32_t RandomSource::next() {
    std::uint32_t& sum = state_[static_cast<std::size_t>(front_)];
    sum += state_[static_cast<std::size_t>(rear_)];
    front_ = (front_ + 1) % kDegree;
    rear_ = (rear_ + 1) % kDegree;
    return static_cast<std::int32_t>(sum >> 1); // the lowest bit is the least random
}
