#pragma once

// Opens the window, wires every GLUT callback to its singleton, initialises the
// game and runs the GLUT loop. Start-up failures arrive as std::runtime_error.
int runProgram(int argc, char** argv);
