#pragma once

#include "render/extension_list.h"

// Asks the driver to let each swap wait for `interval` refreshes of the screen
// (0: no waiting), through GLX_EXT_swap_control or GLX_MESA_swap_control,
// whichever the driver offers, looked up at run time. Needs the window's OpenGL
// context current. False when the driver offers neither.
bool requestSwapInterval(int interval);
