#!/usr/bin/env bash
# The rules build and run without a window: a program made of them alone (the
# replay checker) needs no library of OpenGL, GLUT, X, SDL or FreeType. Prints
# what breaks this. (CMakeLists.txt itself refuses to link the rules' library
# with anything.)
# Usage: check-rules-link.sh CHECKER
set -euo pipefail
checker=$1
windowing='lib(GL|GLU|OpenGL|GLX|glut|X11|Xrandr|SDL2|SDL2_mixer|freetype)\b'
status=0
if readelf -d "$checker" | grep -E "NEEDED.*$windowing"; then
    status=1
fi
exit $status
