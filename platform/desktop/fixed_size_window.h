#pragma once

// Tells the window manager that the current GLUT window has one size only, so
// that it neither resizes nor maximises it. GLUT has no call for this, and a
// maximised window is kept at the screen's size whatever the game asks for.
// Needs the window's OpenGL context current.
void keepWindowAtFixedSize(int width, int height);
