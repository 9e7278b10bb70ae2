#pragma once

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

} // namespace replay_format
