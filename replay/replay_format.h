#pragma once

#include <cstddef>
#include <cstdint>

// The replay file, written by ReplayRecorder and read by readReplay. All
// numbers are little-endian.
//
// Header: the magic text, the format version (one byte), the game's version
// (a length byte and its characters), the random seed (4 bytes) and the clock
// reading the game loaded at (4 bytes, signed).
//
// Then records, each a tag byte and its fields:
//   'P' pointer moved: x, y (floats, field units)
//   'B' button: button, state (one byte each), x, y (floats)
//   'F' frame: the clock reading's step from the previous reading (or from the
//       start), a zigzag varint, so that one byte holds a frame at 60 Hz
//   'C' checkpoint (format 2 on): after the first frame at or past a whole
//       second of the game's clock since the start, that second (a varint)
//       and the 64-bit digest of the state the frame left
//   'E' end: a 64-bit digest of the state the game ended in; nothing follows.
namespace replay_format {

constexpr char kMagic[] = "VANTOREL REPLAY\n";
constexpr int kMagicLength = sizeof kMagic - 1;
// Format 1 had no checkpoints; its recordings still play.
constexpr std::uint8_t kVersion = 2;
constexpr std::uint8_t kOldestVersion = 1;
constexpr std::uint8_t kFirstVersionWithCheckpoints = 2;
constexpr int kCheckpointEveryMs = 1000;
// The longest file a replay may be, read whole into memory. The busiest play
// at 60 Hz (a move and a frame every frame, a checkpoint every second) writes
// 40 KB a minute, so this holds over thirteen hours of it; a five-minute game
// takes about 200 KB.
constexpr std::size_t kLongestFile = 32 * 1024 * 1024;

constexpr std::uint8_t kPointerTag = 'P';
constexpr std::uint8_t kButtonTag = 'B';
constexpr std::uint8_t kFrameTag = 'F';
constexpr std::uint8_t kCheckpointTag = 'C';
constexpr std::uint8_t kEndTag = 'E';

// X numbers a mouse's buttons from 1 to 255 and GLUT from 0.
constexpr int kHighestButton = 254;
constexpr int kButtonDown = 0;
constexpr int kButtonUp = 1;

// The field the pointer is kept in. The last pixel of a window of odd size maps
// a little past the field's edge: a pixel at the smallest scale is 0.2 units.
constexpr float kPointerSlack = 1.0f;

// Five 7-bit groups hold any step of a 32-bit clock.
constexpr std::size_t kLongestVarint = 5;

// The frame's clock step is signed, and written as an unsigned varint: zigzag
// keeps a small step of either sign in one byte.
constexpr std::uint64_t zigzag(std::int64_t value) {
    return (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
}

constexpr std::int64_t unzigzag(std::uint64_t value) {
    return static_cast<std::int64_t>(value >> 1) ^ -static_cast<std::int64_t>(value & 1);
}

} // namespace replay_format
