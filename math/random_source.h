#pragma once

#include <array>
#include <cstdint>

// The game's one source of chance: an additive lagged Fibonacci generator,
// the one the GNU C library's rand() uses, written out here so that a seed
// gives the same sequence on every machine and with every C library. For the
// same seed it gives what glibc's srand and rand give, so games recorded when
// the game still called rand() play back unchanged.
class RandomSource {
public:
    static constexpr std::int32_t kLargest = 2147483647;

    explicit RandomSource(unsigned seed = 1) { reseed(seed); }

    void reseed(unsigned seed);
    // Uniform in [0, kLargest].
    std::int32_t next();

private:
    static constexpr int kDegree = 31;
    static constexpr int kSeparation = 3;

    std::array<std::uint32_t, kDegree> state_{};
    int front_ = 0; // the word the next output adds to
    int rear_ = 0;  // the word it adds
};
