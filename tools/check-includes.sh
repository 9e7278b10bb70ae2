#!/usr/bin/env bash
# Includes run one way, downwards: app -> render / audio / records -> world /
# replay -> math / clock. The rules (world, replay, math, clock) include nothing
# of OpenGL, GLUT, SDL or FreeType, so that they build and run without a window.
# Prints every include that breaks this and fails if there is one.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# Folders each room may not include from.
declare -A forbidden=(
    [render]="app audio records"
    [audio]="app render records"
    [records]="app world replay audio render math clock"
    [world]="app render audio records replay"
    [replay]="app render audio records"
    [math]="app world replay audio render clock records"
    [clock]="app world replay audio render math records"
)
rules=(world replay math clock)
windowing='#include <(GL/|SDL|ft2build|freetype/|emscripten)'

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
exit $status
