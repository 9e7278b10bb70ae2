#!/usr/bin/env bash
# Includes run one way, downwards: app -> world -> audio / render / math / clock / records.
# Prints every include that reaches up a layer and fails if there is one.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# Folders each room may not include from.
declare -A forbidden=(
    [world]="app"
    [audio]="app world render records"
    [render]="app world audio records"
    [math]="app world audio render clock records"
    [clock]="app world audio render math records"
    [records]="app world audio render math clock"
)

status=0
for room in "${!forbidden[@]}"; do
    for above in ${forbidden[$room]}; do
        if grep -rn --include='*.h' --include='*.cpp' "#include \"$above/" "$room"; then
            status=1
        fi
    done
done
exit $status
