#pragma once

#include "app/options.h"

#include <string>

// Opens the window, wires every GLUT callback to its singleton, initialises the
// game and runs the GLUT loop, as `options` ask. argc and argv are what is left
// for glutInit. Start-up failures arrive as std::runtime_error.
int runProgram(int argc, char** argv, const Options& options);

// Reads the replay, or checks the recording's file, that `options` name,
// before any window opens: why one cannot be used, in a line, or empty. The
// recording itself is made only once the window is open, so that a start that
// fails leaves a file already there as it was.
std::string openReplayFiles(const Options& options);
