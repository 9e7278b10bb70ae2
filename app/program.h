#pragma once

#include "app/options.h"

// Opens the window, wires every GLUT callback to its singleton, initialises the
// game and runs the GLUT loop, as `options` ask. argc and argv are what is left
// for glutInit. Start-up failures arrive as std::runtime_error.
int runProgram(int argc, char** argv, const Options& options);
