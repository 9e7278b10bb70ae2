#pragma once

#include <cstdint>

class World;

// A 64-bit digest of everything a game's state shows: every body's position,
// size, angle and flags, the planet count and the end picture. Two worlds that
// differ in a single bit of these almost surely differ in their digests, so a
// replay can tell whether it ended exactly where its recording did.
std::uint64_t worldDigest(const World& world);
