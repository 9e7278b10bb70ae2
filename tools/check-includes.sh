#!/usr/bin/env bash
# Includes run one way, downwards: app -> render / audio / records -> world /
# replay -> math / clock. The rules (world, replay, math, clock) include nothing
# of OpenGL, GLUT, SDL or FreeType, so that they build and run without a window.
# The game reaches each platform only through the headers in platform/ (the
# window, the pace of frames, sound output, storage), which include nothing of
# the game; a platform's own room (platform/desktop, platform/web) may use the
# game, but neither the other's room nor the other's libraries, and the rules
# know of no platform at all.
# Prints every include that breaks this and fails if there is one.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

platforms="platform/desktop platform/web"
# Folders each room may not include from.
declare -A forbidden=(
    [app]="$platforms"
    [render]="app audio records $platforms"
    [audio]="app render records $platforms"
    [records]="app world replay audio render math clock $platforms"
    [world]="app render audio records replay platform"
    [replay]="app render audio records platform"
    [math]="app world replay audio render clock records platform"
    [clock]="app world replay audio render math records platform"
    [platform/desktop]="platform/web"
    [platform/web]="platform/desktop"
)
rules=(world replay math clock)
windowing='#include <(GL/|SDL|ft2build|freetype/|emscripten)'
# Libraries of one platform alone, and the rooms that must not use them.
declare -A platformOnly=(
    ['#include <(SDL|X11/)']="app render audio records platform/web ${rules[*]}"
    ['#include <emscripten']="app render audio records platform/desktop ${rules[*]}"
)

status=0
for room in "${!forbidden[@]}"; do
    for above in ${forbidden[$room]}; do
        if grep -rn --include='*.h' --include='*.cpp' "#include \"$above/" "$room"; then
            status=1
        fi
    done
done
if grep -rnE --include='*.h' --include='*.cpp' "$windowing" "${rules[@]}"; then
    status=1
fi
for library in "${!platformOnly[@]}"; do
    if grep -rnE --include='*.h' --include='*.cpp' "$library" ${platformOnly[$library]}; then
        status=1
    fi
done
# The platform's headers are what every platform defines: they know no game.
if grep -nE '#include "' platform/*.h; then
    status=1
fi
exit $status
